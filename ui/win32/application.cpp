// SPDX-License-Identifier: MIT
#include "ui/win32/application.h"

#include "engine/fpenv.h"
#include "settings/settings_file.h"
#include "ui/win32/OstrelU.h"
#include "ui/win32/OstrelhelpU.h"
#include "ui/win32/desktop.h"

#include <commctrl.h>

namespace cttax::win32 {

std::wstring applicationTitleFor(const std::wstring &executablePath)
{
    return wide(cttax::applicationTitleFor(narrow(executablePath), true, [](std::string_view rest) {
        std::wstring lowered = wide(std::string(rest));
        ::CharLowerBuffW(lowered.data(), static_cast<DWORD>(lowered.size()));
        return narrow(lowered);
    }));
}

void setUpProcess()
{
    setUpFloatingPoint();
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
}

int runApplication(HINSTANCE instance, int showCommand)
{
    setUpProcess();

    const SettingsPath executable = runningExecutablePath();
    Win32Desktop desktop;
    TOstrelFhelp help(instance);
    TOstrelF mainWindow(instance, desktop, applicationTitleFor(executable.wstring()),
                        settingsLocationFor(executable, SettingsEnvironment::fromProcess()), help);
    desktop.setOwner(mainWindow.handle());
    mainWindow.show(showCommand);

    MSG message{};
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        // Tab, the arrow keys in the status group and Esc in the help window
        // work as in a dialog.
        const HWND top = ::GetAncestor(message.hwnd, GA_ROOT);
        if (top != nullptr && ::IsDialogMessageW(top, &message))
            continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return 0;
}

} // namespace cttax::win32
