// SPDX-License-Identifier: MIT
// Start-up to first paint, for the start-up benchmark: "cttax SETTINGS"
// starts the main window as the application does, loading the given settings
// file; "minimal" starts a bare Qt Widgets main window built the same way;
// "controls" the same controls, texts and faces as the real window, built
// with plain Qt and no code of cttax's (the floor for a window that draws
// text). "minimal" and "controls" take the real window's outer size.
// At the window's first paint the process prints the microseconds since
// START_NS (the wall clock in nanoseconds when the caller started it) and its
// peak resident memory in KiB; "cttax" then closes its window, as File > Exit
// does, and prints that close's microseconds (the settings saved) too. The
// process then ends at once: no other shutdown is timed.
#include "engine/fpenv.h"
#include "text/decimal.h"
#include "ui/qt/OstrelU.h"
#include "ui/qt/OstrelhelpU.h"
#include "ui/qt/application.h"
#include "ui/qt/desktop.h"
#include "form/layout.h"

#include <QApplication>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QRadioButton>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <string_view>

#include <sys/resource.h>

namespace {

long long nowNs()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

class ReportFirstPaint : public QObject {
public:
    explicit ReportFirstPaint(QWidget *closeAfter) : closeAfter_(closeAfter) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !painted_) {
            painted_ = true;
            const long long paintedAt = nowNs();
            QMetaObject::invokeMethod(qApp, [this, paintedAt] { report(paintedAt); }, Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void report(long long paintedAt)
    {
        const char *start = std::getenv("START_NS");
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        std::printf("%lld %ld", start ? (paintedAt - std::atoll(start)) / 1000 : 0LL, usage.ru_maxrss);
        if (closeAfter_ != nullptr) {
            const long long before = nowNs();
            closeAfter_->close();
            std::printf(" %lld", (nowNs() - before) / 1000);
        }
        std::printf("\n");
        std::fflush(stdout);
        std::_Exit(0);
    }

    QWidget *closeAfter_;
    bool painted_ = false;
};

QFont face(const cttax::layout::Face &of)
{
    QFont font;
    font.setFamilies({of.family, "Liberation Sans"});
    font.setPixelSize(of.height);
    font.setBold(of.bold);
    font.setUnderline(of.underline);
    return font;
}

// The real window's controls at their places (the layout table's data, made
// with plain Qt widgets), with the texts a loaded settings file (60000, 1200,
// Married) puts in them.
std::unique_ptr<QMainWindow> plainControls()
{
    namespace layout = cttax::layout;
    auto window = std::make_unique<QMainWindow>();
    window->setWindowTitle(layout::kWindowTitle);
    for (const char *menu : {layout::kFileMenu, layout::kHelpCommand, layout::kHomePageCommand})
        window->menuBar()->addMenu(menu)->addAction(layout::kExitCommand);
    auto *client = new QWidget(window.get());
    window->setCentralWidget(client);
    QWidget *group = nullptr, *panel = nullptr;
    int result = 0;
    const char *results[] = {"12000", "2000", "0.1", "200", "500", "1300"};
    for (const layout::Control &c : layout::kControls) {
        QWidget *parent = c.parent == layout::Parent::Group ? group : c.parent == layout::Parent::Panel ? panel : client;
        QWidget *made = nullptr;
        switch (c.role) {
        case layout::Role::Label:
            made = new QLabel(c.caption, parent);
            break;
        case layout::Role::Input:
            made = new QLineEdit(c.name == std::string_view("Edit1") ? "60000" : "1200", parent);
            break;
        case layout::Role::Result:
            made = new QLineEdit(results[result++], parent);
            break;
        case layout::Role::Group:
            made = group = new QGroupBox(c.caption, parent);
            break;
        case layout::Role::Item: {
            auto *radio = new QRadioButton(c.caption, parent);
            radio->setChecked(c.caption == layout::kStatusItems[1]);
            made = radio;
            break;
        }
        case layout::Role::Panel: {
            auto *frame = new QFrame(parent);
            frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
            made = panel = frame;
            break;
        }
        }
        made->setFont(face(*c.face));
        made->setGeometry(c.left, c.top, c.width, c.height);
    }
    return window;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2)
        return 2;
    const bool minimal = std::strcmp(argv[1], "minimal") == 0;
    const bool controls = std::strcmp(argv[1], "controls") == 0;
    // The real window's outer size: its 502 x 523 client area with the menu
    // bar above it (measured by "cttax", which prints "size W H" on standard error).
    const int minimalWidth = argc > 2 && (minimal || controls) ? std::atoi(argv[2]) : 502;
    const int minimalHeight = argc > 3 && (minimal || controls) ? std::atoi(argv[3]) : 547;
    cttax::setUpFloatingPoint();
    QApplication application(argc, argv);
    cttax::setUpFloatingPoint();
    cttax::QtDesktop desktop;
    std::unique_ptr<cttax::TOstrelFhelp> help;
    std::unique_ptr<QMainWindow> window;
    if (minimal) {
        // The same outer size as the real window, so both pay for the same
        // backing store and the difference is what the application adds.
        window = std::make_unique<QMainWindow>();
        window->setCentralWidget(new QLineEdit(window.get()));
        window->setFixedSize(minimalWidth, minimalHeight);
    } else if (controls) {
        window = plainControls();
        window->setFixedSize(minimalWidth, minimalHeight);
    } else {
        cttax::useProportionalUiFonts();
        help = std::make_unique<cttax::TOstrelFhelp>();
        window = std::make_unique<cttax::TOstrelF>(desktop, "cttax",
                                                   std::filesystem::path(argc > 2 ? argv[2] : "cttax.fig"), help.get());
        desktop.setOwner(window.get());
    }
    ReportFirstPaint filter(minimal || controls ? nullptr : window.get());
    window->installEventFilter(&filter);
    window->show();
    std::fprintf(stderr, "size %d %d\n", window->width(), window->height());
    return application.exec();
}
