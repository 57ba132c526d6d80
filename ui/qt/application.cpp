// SPDX-License-Identifier: MIT
#include "ui/qt/application.h"

#include "engine/fpenv.h"
#include "settings/settings_file.h"
#include "ui/qt/OstrelU.h"
#include "ui/qt/OstrelhelpU.h"
#include "ui/qt/desktop.h"
#include "ui/qt/window_style.h"

#include <QApplication>
#include <QSessionManager>
#include <QSocketNotifier>
#include <QFile>
#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <utility>

#include <csignal>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace cttax {

QString applicationTitleFor(const QString &executablePath)
{
    return QString::fromStdString(cttax::applicationTitleFor(executablePath.toStdString(), false, [](std::string_view rest) {
        return QString::fromUtf8(rest.data(), static_cast<qsizetype>(rest.size())).toLower().toStdString();
    }));
}

void useApplicationIcon()
{
    QApplication::setWindowIcon(applicationIcon());
}

void useProportionalUiFonts()
{
    QApplication::setFont(proportionalUiFont(QApplication::font()));
    QApplication::setFont(proportionalUiFont(QApplication::font("QMenuBar")), "QMenuBar");
}

namespace {

// Where the signal handler tells the event loop that the session ends.
int endingPipe = -1;

bool set(const char *name)
{
    const char *value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

bool haveDisplay()
{
    return set("QT_QPA_PLATFORM") || set("DISPLAY") || set("WAYLAND_DISPLAY");
}

// What the user is told when there is no display to open the window on, in
// one line, with a command that works as printed.
std::string noDisplayLine(const char *argv0, const std::string &why)
{
    return "cttax: " + why + "; on a machine without a desktop run it as: xvfb-run -a " +
           std::string(argv0 != nullptr && *argv0 != '\0' ? argv0 : "cttax") + "\n";
}

// Whether a server listens on the local socket at `path`.
bool somethingListens(const std::string &path)
{
    sockaddr_un address{};
    if (path.empty() || path.size() >= sizeof address.sun_path)
        return false;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const bool listens = ::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0;
    ::close(fd);
    return listens;
}

// The local socket of an X display (":0", ":0.0", "unix:0"), or empty for a
// display over the network.
std::string xSocketOf(const std::string &display)
{
    const std::size_t colon = display.rfind(':');
    if (colon == std::string::npos || (colon != 0 && display.compare(0, colon, "unix") != 0))
        return {};
    const std::string number = display.substr(colon + 1, display.find('.', colon) - colon - 1);
    return "/tmp/.X11-unix/X" + number;
}

std::string variable(const char *name)
{
    return set(name) ? std::getenv(name) : "";
}

std::string waylandSocketOf(const std::string &display)
{
    if (!display.empty() && display.front() == '/')
        return display;
    return set("XDG_RUNTIME_DIR") ? variable("XDG_RUNTIME_DIR") + "/" + display : std::string();
}

// The one line for a start-up that Qt ended, from what Qt said on the way:
// no platform plugin of the name asked for, a display server that refused
// the connection, or nothing that answered (then, and only then, with the
// command that works without a desktop).
std::string startUpFailureLine(const char *argv0, const QStringList &said, const QString &fatal)
{
    const auto saidAny = [&said](const char *text) {
        for (const QString &line : said)
            if (line.contains(QLatin1String(text), Qt::CaseInsensitive))
                return true;
        return false;
    };
    if (saidAny("Could not find the Qt platform plugin")) {
        const QString plugins =
            fatal.mid(fatal.indexOf(QLatin1String("Available platform plugins are:"))).section(':', 1).trimmed();
        return "cttax: cannot open the window: Qt has no platform plugin \"" + variable("QT_QPA_PLATFORM") +
               "\" (QT_QPA_PLATFORM)" + (plugins.isEmpty() ? "" : "; it has " + plugins.toStdString()) + "\n";
    }
    if (saidAny("could not connect to display")) {
        const std::string display = variable("DISPLAY");
        if (somethingListens(xSocketOf(display)))
            return "cttax: cannot open the window: the X display '" + display +
                   "' refused the connection (not authorised: check XAUTHORITY, or run it as the desktop's user)\n";
        return noDisplayLine(argv0, "cannot open the display '" + display + "' (no display server answers there)");
    }
    if (saidAny("wl_display") || saidAny("wayland")) {
        const std::string display = variable("WAYLAND_DISPLAY").empty() ? "wayland-0" : variable("WAYLAND_DISPLAY");
        if (somethingListens(waylandSocketOf(display)))
            return "cttax: cannot open the window: the Wayland display '" + display + "' refused the connection\n";
        return noDisplayLine(argv0, "cannot open the Wayland display '" + display + "' (no display server answers there)");
    }
    return "cttax: cannot open the window: " + fatal.section('\n', 0, 0).toStdString() + "\n";
}

// While the application object connects to the display, Qt's messages are
// held back: where it cannot, Qt ends the process from a fatal message after
// a few lines of its own, and the user gets one clear line instead. Once
// connected, Qt's own handler is back (a later fatal message is no display
// problem) and the held messages are passed on.
struct StartUpMessages {
    static inline std::string argv0;
    static inline QStringList held;

    static void handler(QtMsgType type, const QMessageLogContext &, const QString &message)
    {
        if (type != QtFatalMsg) {
            held << message;
            return;
        }
        std::fputs(startUpFailureLine(argv0.c_str(), held, message).c_str(), stderr);
        std::_Exit(1);
    }
    static void passOn()
    {
        qInstallMessageHandler(nullptr);
        for (const QString &message : std::as_const(held))
            std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
        held.clear();
    }
};

} // namespace

int runApplication(int argc, char **argv)
{
    if (!haveDisplay()) {
        std::fputs(noDisplayLine(argc > 0 ? argv[0] : nullptr, "no display to open the window on (DISPLAY is not set)")
                       .c_str(),
                   stderr);
        return 1;
    }
    StartUpMessages::argv0 = argc > 0 ? argv[0] : "";
    qInstallMessageHandler(StartUpMessages::handler);
    setUpFloatingPoint();
    QApplication application(argc, argv);
    StartUpMessages::passOn();
    // Qt's own start-up may have touched the control word; make sure.
    setUpFloatingPoint();
    useProportionalUiFonts();
    useApplicationIcon();
    const QString executable = QCoreApplication::applicationFilePath();
    // The application name is the title; no display name is set, since that
    // would be appended to every window caption.
    const QString title = applicationTitleFor(executable);
    QCoreApplication::setApplicationName(title);

    QtDesktop desktop;
    TOstrelFhelp help;
    // The path as bytes: a folder name need not be valid UTF-8.
    std::filesystem::path executableBytes = runningExecutablePath();
    if (executableBytes.empty())
        executableBytes = QFile::encodeName(executable).toStdString();
    TOstrelF mainWindow(desktop, title, settingsLocationFor(executableBytes, SettingsEnvironment::fromProcess()),
                        &help);
    desktop.setOwner(&mainWindow);
    mainWindow.show();
    // The end of the session: the session manager's request, or SIGTERM and
    // SIGHUP (a log-off without a session manager, kill, a closed terminal),
    // taken from the signal handler through a pipe into the event loop.
    // (Qt asks not to quit from the session manager's request: the values
    // are saved there, the window stays until the manager ends the program.)
    QObject::connect(&application, &QGuiApplication::commitDataRequest, &mainWindow,
                     [&mainWindow](QSessionManager &) { mainWindow.saveAtSessionEnd(); });
    int pipeFds[2];
    std::unique_ptr<QSocketNotifier> ending;
    if (::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) == 0) {
        endingPipe = pipeFds[1];
        ending = std::make_unique<QSocketNotifier>(pipeFds[0], QSocketNotifier::Read);
        QObject::connect(ending.get(), &QSocketNotifier::activated, &mainWindow, [&mainWindow] { mainWindow.endSession(); });
        struct sigaction action {};
        action.sa_handler = [](int) {
            const char byte = 1;
            [[maybe_unused]] const ssize_t n = ::write(endingPipe, &byte, 1);
        };
        ::sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        ::sigaction(SIGTERM, &action, nullptr);
        ::sigaction(SIGHUP, &action, nullptr);
    }
    application.exec();
    return 0;
}

} // namespace cttax
