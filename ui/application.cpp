// SPDX-License-Identifier: MIT
#include "ui/application.h"

#include "engine/fpenv.h"
#include "settings/settings_file.h"
#include "ui/OstrelU.h"
#include "ui/OstrelhelpU.h"
#include "ui/qt_platform.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <cstdlib>

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

namespace {

bool haveDisplay()
{
    const auto set = [](const char *name) {
        const char *value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    return set("QT_QPA_PLATFORM") || set("DISPLAY") || set("WAYLAND_DISPLAY");
}

} // namespace

int runApplication(int argc, char **argv)
{
    if (!haveDisplay()) {
        std::fputs("cttax: no display to open the window on (DISPLAY is not set); "
                   "on a machine without a desktop run it as: xvfb-run -a cttax\n",
                   stderr);
        return 1;
    }
    setUpFloatingPoint();
    QApplication application(argc, argv);
    // Qt's own start-up may have touched the control word; make sure.
    setUpFloatingPoint();
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
