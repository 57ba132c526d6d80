// SPDX-License-Identifier: MIT
#include "ui/win32/desktop.h"

#include <shellapi.h>

namespace cttax::win32 {

namespace {

HHOOK centring = nullptr;

// A message box stands over its owner; the warning stands in the middle of
// the owner's monitor instead. Moved as it is activated, before it is drawn.
LRESULT CALLBACK centreOnScreen(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE) {
        const HWND box = reinterpret_cast<HWND>(wParam);
        RECT frame{};
        ::GetWindowRect(box, &frame);
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        ::GetMonitorInfoW(::MonitorFromWindow(box, MONITOR_DEFAULTTOPRIMARY), &monitor);
        const RECT &work = monitor.rcWork;
        ::SetWindowPos(box, nullptr, work.left + (work.right - work.left - (frame.right - frame.left)) / 2,
                       work.top + (work.bottom - work.top - (frame.bottom - frame.top)) / 2, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        ::UnhookWindowsHookEx(centring);
        centring = nullptr;
        return 0;
    }
    return ::CallNextHookEx(centring, code, wParam, lParam);
}

} // namespace

void Win32Desktop::warn(const std::string &text)
{
    centring = ::SetWindowsHookExW(WH_CBT, centreOnScreen, nullptr, ::GetCurrentThreadId());
    // OK is the default and the cancel button: Enter and Esc close it too.
    ::MessageBoxW(owner_, wide(text).c_str(), L"Warning", MB_OK | MB_ICONEXCLAMATION);
    if (centring != nullptr) {
        ::UnhookWindowsHookEx(centring);
        centring = nullptr;
    }
}

void Win32Desktop::reportError(const std::string &title, const std::string &text)
{
    ::MessageBoxW(owner_, wide(text).c_str(), wide(title).c_str(), MB_OK | MB_ICONSTOP);
}

void Win32Desktop::beep()
{
    ::MessageBeep(0);
}

void Win32Desktop::openUrl(const std::string &address)
{
    ::ShellExecuteW(nullptr, L"open", wide(address).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

std::vector<ScreenArea> Win32Desktop::screenAreas() const
{
    std::vector<ScreenArea> areas;
    ::EnumDisplayMonitors(
        nullptr, nullptr,
        [](HMONITOR monitor, HDC, LPRECT, LPARAM data) -> BOOL {
            MONITORINFO info{};
            info.cbSize = sizeof info;
            if (::GetMonitorInfoW(monitor, &info)) {
                const RECT &work = info.rcWork;
                reinterpret_cast<std::vector<ScreenArea> *>(data)->push_back(
                    {work.left, work.top, work.right - work.left, work.bottom - work.top});
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&areas));
    return areas;
}

} // namespace cttax::win32
