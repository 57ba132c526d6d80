// SPDX-License-Identifier: MIT
// Start-up to first paint, for the start-up benchmark: "cttax SETTINGS"
// starts the main window as the application does, loading the given settings
// file; "minimal" starts a bare Qt Widgets main window built the same way.
// Either way the process quits at the window's first paint and prints its
// peak resident memory in KiB.
#include "engine/fpenv.h"
#include "text/decimal.h"
#include "ui/OstrelU.h"
#include "ui/OstrelhelpU.h"
#include "ui/qt_platform.h"

#include <QApplication>
#include <QLineEdit>
#include <QMainWindow>

#include <cstdio>
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
    cttax::setUpFloatingPoint();
    QApplication application(argc, argv);
    cttax::setUpFloatingPoint();
    QuitOnFirstPaint filter;
    cttax::QtPlatform platform;
    std::unique_ptr<cttax::TOstrelFhelp> help;
    std::unique_ptr<QMainWindow> window;
    if (minimal) {
        window = std::make_unique<QMainWindow>();
        window->setCentralWidget(new QLineEdit(window.get()));
    } else {
        cttax::useLocaleDecimalSeparator();
        help = std::make_unique<cttax::TOstrelFhelp>();
        window = std::make_unique<cttax::TOstrelF>(platform, "cttax", argc > 2 ? argv[2] : "cttax.fig", help.get());
    }
    window->installEventFilter(&filter);
    window->show();
    application.exec();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%ld\n", usage.ru_maxrss);
    return 0;
}
