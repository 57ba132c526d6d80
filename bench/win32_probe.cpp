// SPDX-License-Identifier: MIT
// Start-up and keystroke probes for the Win32 window (scripts/bench.sh --windows):
//   win32_probe cttax FIG        the application's start-up with FIG as its settings;
//                                ends at the main window's first paint ("size W H" and
//                                the phases' times to stderr)
//   win32_probe bare W H         a bare window of that outer size; ends at its first paint
//   win32_probe controls W H     the same window tree, texts, faces and colours as the real
//                                window (from the layout table), made with plain Win32 and
//                                no code of cttax's: the floor for a window of these controls;
//                                ends at its first paint
//   win32_probe keystroke FIG N  N changes of the AGI box, each one timed from the write to
//                                the six results written: prints the median in ns
#include "ui/win32/OstrelU.h"
#include "ui/win32/OstrelhelpU.h"
#include "ui/win32/application.h"
#include "ui/win32/controls.h"
#include "ui/win32/desktop.h"
#include "form/layout.h"

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

// A window class of the probe's own, on the application workspace colour.
HINSTANCE registerClass(const wchar_t *name, WNDPROC procedure)
{
    WNDCLASSEXW type{};
    type.cbSize = sizeof type;
    type.lpfnWndProc = procedure;
    type.hInstance = ::GetModuleHandleW(nullptr);
    type.hbrBackground = ::GetSysColorBrush(COLOR_APPWORKSPACE);
    type.lpszClassName = name;
    ::RegisterClassExW(&type);
    return type.hInstance;
}

int bare(int width, int height)
{
    const HINSTANCE instance = registerClass(L"Bare", bareProc);
    const HWND window = ::CreateWindowExW(0, L"Bare", L"Bare", WS_OVERLAPPEDWINDOW, 10, 10, width, height, nullptr,
                                          nullptr, instance, nullptr);
    ::ShowWindow(window, SW_SHOWNORMAL);
    ::UpdateWindow(window);
    loop();
    return 0;
}

namespace layout = cttax::layout;

HFONT faceOf(const layout::Face &face)
{
    return ::CreateFontW(-face.height, 0, 0, 0, face.bold ? FW_BOLD : FW_NORMAL, FALSE, face.underline, FALSE,
                         DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                         std::wstring(face.family, face.family + std::char_traits<char>::length(face.family)).c_str());
}

COLORREF rgbOf(const layout::Colour &colour)
{
    return colour.system ? ::GetSysColor(COLOR_APPWORKSPACE) : RGB(colour.fixed.red, colour.fixed.green, colour.fixed.blue);
}

LRESULT CALLBACK controlsProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CTLCOLORSTATIC || message == WM_CTLCOLOREDIT || message == WM_CTLCOLORBTN) {
        const auto *look = reinterpret_cast<const layout::Look *>(::GetWindowLongPtrW(reinterpret_cast<HWND>(lParam), GWLP_USERDATA));
        if (look != nullptr) {
            ::SetTextColor(reinterpret_cast<HDC>(wParam), rgbOf(look->text));
            ::SetBkColor(reinterpret_cast<HDC>(wParam), rgbOf(look->background));
            ::SetDCBrushColor(reinterpret_cast<HDC>(wParam), rgbOf(look->background));
            return reinterpret_cast<LRESULT>(::GetStockObject(DC_BRUSH));
        }
    }
    return bareProc(window, message, wParam, lParam);
}

// The group and the panel hold their controls, as the real window's do, and
// pass their colour requests up to the window.
LRESULT CALLBACK containerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CTLCOLORSTATIC || message == WM_CTLCOLOREDIT || message == WM_CTLCOLORBTN)
        return ::SendMessageW(::GetAncestor(window, GA_ROOT), message, wParam, lParam);
    return ::DefWindowProcW(window, message, wParam, lParam);
}

// The same window tree as the real one: every control of the layout table
// in its parent, the group and the panel as containers, a hidden label with
// each result box's plain name before it (what a screen reader names it by).
int plainControls(int width, int height)
{
    const HINSTANCE instance = registerClass(L"Controls", controlsProc);
    registerClass(L"Container", containerProc);
    const HMENU menu = ::CreateMenu();
    for (const wchar_t *item : {L"&File", L"&Help", L"&Kaldo Home Page"})
        ::AppendMenuW(menu, MF_STRING, 1, item);
    const HWND window = ::CreateWindowExW(WS_EX_CONTROLPARENT, L"Controls", L"Kaldo 2011", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                                          10, 10, width, height, nullptr, menu, instance, nullptr);
    const HFONT title = faceOf(layout::kTitleFace), caption = faceOf(layout::kCaptionFace);
    HWND group = nullptr, panel = nullptr;
    const auto make = [&](DWORD exStyle, const wchar_t *kind, const std::wstring &text, DWORD style,
                          const layout::Control &c, HWND parent) {
        const HWND made = ::CreateWindowExW(exStyle, kind, text.c_str(), style | WS_CHILD, c.left, c.top, c.width, c.height,
                                            parent, nullptr, instance, nullptr);
        ::SendMessageW(made, WM_SETFONT, reinterpret_cast<WPARAM>(c.face == &layout::kTitleFace ? title : caption), FALSE);
        ::SetWindowLongPtrW(made, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(c.look));
        return made;
    };
    std::wstring lastCaption;
    for (const layout::Control &c : layout::kControls) {
        const HWND parent = c.parent == layout::Parent::Group ? group : c.parent == layout::Parent::Panel ? panel : window;
        const char *text = c.caption != nullptr ? c.caption : c.role == layout::Role::Input ? "60000" : c.role == layout::Role::Result ? "1300" : "";
        const std::wstring wide(text, text + std::char_traits<char>::length(text));
        switch (c.role) {
        case layout::Role::Group:
            group = make(WS_EX_CONTROLPARENT, L"Container", L"", WS_VISIBLE, c, parent);
            make(0, L"BUTTON", wide, BS_GROUPBOX | WS_VISIBLE, {c.name, c.role, c.parent, 0, 0, c.width, c.height, c.caption, c.face, c.look}, group);
            break;
        case layout::Role::Panel:
            panel = make(WS_EX_CONTROLPARENT, L"Container", L"", WS_VISIBLE | WS_BORDER, c, parent);
            break;
        case layout::Role::Item:
            make(0, L"BUTTON", wide, BS_AUTORADIOBUTTON | WS_VISIBLE, c, parent);
            break;
        case layout::Role::Result:
            make(0, L"STATIC", lastCaption, 0, c, parent); // hidden: the box's name
            make(WS_EX_CLIENTEDGE, L"EDIT", wide, ES_READONLY | ES_AUTOHSCROLL | WS_VISIBLE, c, parent);
            break;
        case layout::Role::Input:
            make(WS_EX_CLIENTEDGE, L"EDIT", wide, ES_AUTOHSCROLL | WS_VISIBLE | WS_TABSTOP, c, parent);
            break;
        case layout::Role::Label:
            lastCaption = wide;
            make(0, L"STATIC", wide, WS_VISIBLE, c, parent);
            break;
        }
    }
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
    if (mode == "controls" && argc == 4)
        return plainControls(std::atoi(argv[2]), std::atoi(argv[3]));
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
                cttax::narrow(cttax::win32::textOf(window.Edit3)).c_str(),
                cttax::narrow(cttax::win32::textOf(window.Edit8)).c_str());
    return 0;
}
