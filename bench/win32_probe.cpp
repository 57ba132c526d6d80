// SPDX-License-Identifier: MIT
// Start-up and keystroke probes for the Win32 window (scripts/bench.sh --windows):
//   win32_probe cttax FIG        the application's start-up with FIG as its settings;
//                                ends at the main window's first paint ("size W H" and
//                                the phases' times to stderr)
//   win32_probe bare W H         a bare window of that outer size; ends at its first paint
//   win32_probe keystroke FIG N  N changes of the AGI box, each one timed from the write to
//                                the six results written: prints the median in ns
#include "ui/win32/OstrelU.h"
#include "ui/win32/OstrelhelpU.h"
#include "ui/win32/application.h"
#include "ui/win32/controls.h"
#include "ui/win32/desktop.h"

#include <commctrl.h> // SetWindowSubclass

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

LARGE_INTEGER painted;

LRESULT CALLBACK quitAfterFirstPaint(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    const LRESULT result = ::DefSubclassProc(window, message, wParam, lParam);
    if (message == WM_PAINT) {
        ::QueryPerformanceCounter(&painted);
        ::PostQuitMessage(0);
    }
    return result;
}

LRESULT CALLBACK bareProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        ::BeginPaint(window, &paint);
        ::EndPaint(window, &paint);
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

void loop()
{
    MSG message{};
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

int bare(int width, int height)
{
    WNDCLASSEXW type{};
    type.cbSize = sizeof type;
    type.lpfnWndProc = bareProc;
    type.hInstance = ::GetModuleHandleW(nullptr);
    type.hbrBackground = ::GetSysColorBrush(COLOR_APPWORKSPACE);
    type.lpszClassName = L"Bare";
    ::RegisterClassExW(&type);
    const HWND window = ::CreateWindowExW(0, L"Bare", L"Bare", WS_OVERLAPPEDWINDOW, 10, 10, width, height, nullptr,
                                          nullptr, type.hInstance, nullptr);
    ::ShowWindow(window, SW_SHOWNORMAL);
    ::UpdateWindow(window);
    loop();
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "bare" && argc == 4)
        return bare(std::atoi(argv[2]), std::atoi(argv[3]));
    if ((mode != "cttax" && mode != "keystroke") || argc < 3)
        return 2;
    LARGE_INTEGER frequency, t0, t1, t2, t3;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&t0);
    const auto us = [&frequency](LARGE_INTEGER a, LARGE_INTEGER b) {
        return 1e6 * static_cast<double>(b.QuadPart - a.QuadPart) / static_cast<double>(frequency.QuadPart);
    };
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    cttax::win32::setUpProcess();
    cttax::win32::Win32Desktop desktop;
    cttax::win32::TOstrelFhelp help(instance);
    ::QueryPerformanceCounter(&t1);
    cttax::win32::TOstrelF window(instance, desktop, L"Cttax", cttax::SettingsLocation(argv[2], false), help);
    ::QueryPerformanceCounter(&t2);
    if (mode == "cttax") {
        ::SetWindowSubclass(window.handle(), quitAfterFirstPaint, 1, 0);
        RECT frame{};
        ::GetWindowRect(window.handle(), &frame);
        std::fprintf(stderr, "size %ld %ld\n", frame.right - frame.left, frame.bottom - frame.top);
        window.show(SW_SHOWNORMAL);
        ::QueryPerformanceCounter(&t3);
        loop();
        // The first paint comes inside the showing (UpdateWindow).
        std::fprintf(stderr, "phases us: start and help window %.0f, main window %.0f, load, show and first paint %.0f\n",
                     us(t0, t1), us(t1, t2), us(t2, painted));
        return 0;
    }
    window.show(SW_SHOWNORMAL);
    const int n = argc > 3 ? std::atoi(argv[3]) : 10000;
    LARGE_INTEGER before, after;
    std::vector<double> ns;
    for (int i = 0; i < n; ++i) {
        ::QueryPerformanceCounter(&before);
        ::SetWindowTextW(window.Edit1, i % 2 == 0 ? L"16300" : L"60000"); // its change computes and writes all six
        ::QueryPerformanceCounter(&after);
        ns.push_back(1e9 * static_cast<double>(after.QuadPart - before.QuadPart) / static_cast<double>(frequency.QuadPart));
    }
    std::nth_element(ns.begin(), ns.begin() + n / 2, ns.end());
    std::printf("keystroke median %.0f ns over %d changes; last results %s %s\n", ns[n / 2], n,
                cttax::win32::narrow(cttax::win32::textOf(window.Edit3)).c_str(),
                cttax::win32::narrow(cttax::win32::textOf(window.Edit8)).c_str());
    return 0;
}
