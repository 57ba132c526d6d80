// SPDX-License-Identifier: MIT
#include "ui/application.h"

#include "engine/fpenv.h"
#include "settings/settings_file.h"
#include "ui/OstrelU.h"
#include "ui/OstrelhelpU.h"
#include "ui/qt_platform.h"
#include "ui/window_style.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

namespace cttax {

QString applicationTitleFor(const QString &executablePath)
{
    QString name = QFileInfo(executablePath).fileName();
    name = name.left(name.indexOf('.') < 0 ? name.size() : name.indexOf('.'));
    return name.left(1) + name.mid(1).toLower();
}

QString errorReportText(const QString &message)
{
    if (!message.isEmpty() && message.back().unicode() > '.')
        return message + '.';
    return message;
}

void useProportionalUiFonts()
{
    QApplication::setFont(proportionalUiFont(QApplication::font()));
    QApplication::setFont(proportionalUiFont(QApplication::font("QMenuBar")), "QMenuBar");
}

namespace {

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

std::string displayName()
{
    if (set("QT_QPA_PLATFORM"))
        return std::string("the ") + std::getenv("QT_QPA_PLATFORM") + " display";
    if (set("WAYLAND_DISPLAY"))
        return std::string("the Wayland display '") + std::getenv("WAYLAND_DISPLAY") + "'";
    return std::string("the display '") + (set("DISPLAY") ? std::getenv("DISPLAY") : "") + "'";
}

// While the application object connects to the display, Qt's messages are
// held back: where no display answers, Qt ends the process from a fatal
// message after a few lines of its own, and the user gets one clear line
// instead. Once connected, Qt's own handler is back (a later fatal message
// is no display problem) and the held messages are passed on.
struct StartUpMessages {
    static inline std::string argv0;
    static inline QStringList held;

    static void handler(QtMsgType type, const QMessageLogContext &, const QString &message)
    {
        if (type != QtFatalMsg) {
            held << message;
            return;
        }
        std::fputs(noDisplayLine(argv0.c_str(), "cannot open " + displayName() + " (no display server answers there)")
                       .c_str(),
                   stderr);
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
    const QString executable = QCoreApplication::applicationFilePath();
    // The application name is the title; no display name is set, since that
    // would be appended to every window caption.
    const QString title = applicationTitleFor(executable);
    QCoreApplication::setApplicationName(title);
    useLocaleDecimalSeparator();

    QtPlatform platform;
    TOstrelFhelp help;
    // The path as bytes: a folder name need not be valid UTF-8.
    std::filesystem::path executableBytes = runningExecutablePath();
    if (executableBytes.empty())
        executableBytes = QFile::encodeName(executable).toStdString();
    TOstrelF mainWindow(platform, title, settingsLocationFor(executableBytes, SettingsEnvironment::fromProcess()),
                        &help);
    mainWindow.show();
    application.exec();
    return 0;
}

} // namespace cttax
