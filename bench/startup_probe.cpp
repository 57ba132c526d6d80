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
#include "ui/qt/qt_platform.h"

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

QFont face(int pixels, bool underline = false)
{
    QFont font;
    font.setFamilies({"Arial", "Liberation Sans"});
    font.setPixelSize(pixels);
    font.setBold(true);
    font.setUnderline(underline);
    return font;
}

// The real window's controls at their places, with the texts a loaded
// settings file (60000, 1200, Married) puts in them.
std::unique_ptr<QMainWindow> plainControls()
{
    auto window = std::make_unique<QMainWindow>();
    window->setWindowTitle("Kaldo 2011");
    for (const char *menu : {"&File", "&Help", "&Kaldo Home Page"})
        window->menuBar()->addMenu(menu)->addAction("E&xit");
    auto *client = new QWidget(window.get());
    window->setCentralWidget(client);
    const auto label = [](QWidget *parent, const char *text, int x, int y, const QFont &font) {
        auto *l = new QLabel(text, parent);
        l->setFont(font);
        l->move(x, y);
    };
    const auto edit = [](QWidget *parent, const char *text, int x, int y) {
        auto *e = new QLineEdit(text, parent);
        e->setFont(face(16));
        e->setGeometry(x, y, 114, 26);
    };
    label(client, "Connecticut State Resident Income Tax", 53, 12, face(21, true));
    label(client, "CT Adjusted Gross Income", 12, 57, face(16));
    label(client, "$", 38, 90, face(16));
    edit(client, "60000", 54, 86);
    label(client, "CT Property Tax Paid", 12, 155, face(16));
    label(client, "$", 38, 182, face(16));
    edit(client, "1200", 54, 178);
    auto *group = new QGroupBox("Select Filing Status", client);
    group->setFont(face(16));
    group->setGeometry(248, 54, 209, 160);
    int top = 24;
    for (const char *item : {"Single", "Married", "Separately", "Household"}) {
        auto *radio = new QRadioButton(item, group);
        radio->setGeometry(10, top, 190, 34);
        radio->setChecked(top == 58);
        top += 34;
    }
    auto *panel = new QFrame(client);
    panel->setGeometry(12, 240, 477, 265);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    const char *captions[] = {"Personal Exemption Table A .........................$",
                              "CT Income Tax from Table B .........................$",
                              "Tax Credit Decimal Table C ...........................",
                              "CT Personal Tax Credit ..................................$",
                              "Property Tax Credit Allowance.....................$",
                              "Connecticut State Income Tax .....................$"};
    const char *results[] = {"12000", "2000", "0.1", "200", "500", "1300"};
    for (int i = 0; i < 6; ++i) {
        label(panel, captions[i], 16, 17 + 41 * i, face(16));
        edit(panel, results[i], 347, 15 + 41 * i);
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
    cttax::QtPlatform platform;
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
        window = std::make_unique<cttax::TOstrelF>(platform, "cttax",
                                                   std::filesystem::path(argc > 2 ? argv[2] : "cttax.fig"), help.get());
    }
    ReportFirstPaint filter(minimal || controls ? nullptr : window.get());
    window->installEventFilter(&filter);
    window->show();
    std::fprintf(stderr, "size %d %d\n", window->width(), window->height());
    return application.exec();
}
