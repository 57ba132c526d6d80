// SPDX-License-Identifier: MIT
// Start-up to first paint, for the start-up benchmark: "cttax SETTINGS"
// starts the main window as the application does, loading the given settings
// file; "minimal" starts a bare Qt Widgets main window built the same way.
// "minimal" takes the real window's outer size (see below).
// Either way the process quits at the window's first paint and prints its
// peak resident memory in KiB.
#include "engine/fpenv.h"
#include "text/decimal.h"
#include "ui/OstrelU.h"
#include "ui/OstrelhelpU.h"
#include "ui/application.h"
#include "ui/qt_platform.h"

#include <QApplication>
#include <QLineEdit>
#include <QMainWindow>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include <sys/resource.h>

namespace {

class QuitOnFirstPaint : public QObject {
protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2)
        return 2;
    const bool minimal = std::strcmp(argv[1], "minimal") == 0;
    // The real window's outer size: its 502 x 523 client area with the menu
    // bar above it (measured by "cttax", which prints "size W H" on standard error).
    const int minimalWidth = argc > 2 && minimal ? std::atoi(argv[2]) : 502;
    const int minimalHeight = argc > 3 && minimal ? std::atoi(argv[3]) : 547;
    cttax::setUpFloatingPoint();
    QApplication application(argc, argv);
    cttax::setUpFloatingPoint();
    QuitOnFirstPaint filter;
    cttax::QtPlatform platform;
    std::unique_ptr<cttax::TOstrelFhelp> help;
    std::unique_ptr<QMainWindow> window;
    if (minimal) {
        // The same outer size as the real window, so both pay for the same
        // backing store and the difference is what the application adds.
        window = std::make_unique<QMainWindow>();
        window->setCentralWidget(new QLineEdit(window.get()));
        window->setFixedSize(minimalWidth, minimalHeight);
    } else {
        cttax::useProportionalUiFonts();
        cttax::useLocaleDecimalSeparator();
        help = std::make_unique<cttax::TOstrelFhelp>();
        window = std::make_unique<cttax::TOstrelF>(platform, "cttax",
                                                   std::filesystem::path(argc > 2 ? argv[2] : "cttax.fig"), help.get());
    }
    window->installEventFilter(&filter);
    window->show();
    std::fprintf(stderr, "size %d %d\n", window->width(), window->height());
    application.exec();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%ld\n", usage.ru_maxrss);
    return 0;
}
