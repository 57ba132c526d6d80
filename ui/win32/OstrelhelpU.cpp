// SPDX-License-Identifier: MIT
#include "ui/win32/OstrelhelpU.h"

#include "form/help_text.h"
#include "form/layout.h"
#include "ui/win32/controls.h"
#include "ui/win32/desktop.h"

#include <algorithm>

namespace cttax::win32 {

namespace {

constexpr const wchar_t *kClassName = L"TOstrelFhelp";
// A fixed size, as the main window: no sizing border, no maximise box.
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr int kMemo1 = 301;
constexpr ScreenArea kMemo = layout::kHelpText;

int scrollBarWidth(UINT dpi)
{
    using MetricsFn = int(WINAPI *)(int, UINT);
    static const auto metrics = reinterpret_cast<MetricsFn>(
        reinterpret_cast<void *>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "GetSystemMetricsForDpi")));
    return metrics != nullptr ? metrics(SM_CXVSCROLL, dpi) : ::GetSystemMetrics(SM_CXVSCROLL);
}

} // namespace

TOstrelFhelp::TOstrelFhelp(HINSTANCE instance) : instance_(instance)
{
    WNDCLASSEXW type{};
    type.cbSize = sizeof type;
    type.lpfnWndProc = windowProc;
    type.hInstance = instance;
    type.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(1));
    type.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    type.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE); // the layout's help background
    type.lpszClassName = kClassName;
    ::RegisterClassExW(&type);
}

// The frame is made at the first showing too: a top-level window is one of
// the dearer things a start-up makes.
void TOstrelFhelp::makeFrame()
{
    window_ = ::CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, wide(layout::kHelpTitle).c_str(), kStyle, 0, 0, 0, 0, nullptr,
                                nullptr, instance_, this);
    const UINT dpi = dpiOf(window_);
    const SIZE outer = outerSizeFor(layout::kHelpClient.width, layout::kHelpClient.height, kStyle, WS_EX_CONTROLPARENT, false, dpi);
    ::SetWindowPos(window_, nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The box, its text and its face are made at the first showing, which keeps
// their layout out of the start-up. `shorter` is how many pixels the window
// lost to fit the work area: the box is as much shorter and scrolls, `wider`
// by its scroll bar, so that the lines wrap where they were written.
void TOstrelFhelp::fillText(int shorter, int wider)
{
    const UINT dpi = dpiOf(window_);
    const HINSTANCE instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(window_, GWLP_HINSTANCE));
    font_ = makeFont(layout::kHelpFace, dpi);
    // Multi-line without horizontal scrolling: the lines wrap at words.
    const DWORD scrolls = shorter > 0 ? WS_VSCROLL : 0;
    Memo1 = ::CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", nullptr,
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_MULTILINE | ES_READONLY | ES_LEFT | scrolls,
                              scaled(kMemo.left, dpi), scaled(kMemo.top, dpi), scaled(kMemo.width, dpi) + wider,
                              scaled(kMemo.height, dpi) - shorter, window_,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(kMemo1)), instance, nullptr);
    ::SendMessageW(Memo1, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    ::SetWindowTextW(Memo1, wide(helpText("\r\n")).c_str());
}

// The first place: centred on the whole virtual desktop, then kept inside
// the work area of the monitor it lands on, shortened where it is taller.
void TOstrelFhelp::placeFirst()
{
    RECT frame{};
    ::GetWindowRect(window_, &frame);
    int width = frame.right - frame.left, height = frame.bottom - frame.top;
    const ScreenPoint centred = centredOnDesktop({::GetSystemMetrics(SM_XVIRTUALSCREEN), ::GetSystemMetrics(SM_YVIRTUALSCREEN),
                                                  ::GetSystemMetrics(SM_CXVIRTUALSCREEN), ::GetSystemMetrics(SM_CYVIRTUALSCREEN)},
                                                 {width, height});
    const int left = centred.x;
    int top = centred.y;
    RECT wanted{left, top, left + width, top + height};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromRect(&wanted, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT &work = monitor.rcWork;
    const int shorter = std::max(0, height - static_cast<int>(work.bottom - work.top));
    const int wider = shorter > 0 ? scrollBarWidth(dpiOf(window_)) : 0;
    height -= shorter;
    width += wider;
    top = std::clamp(top, static_cast<int>(work.top), static_cast<int>(work.bottom) - height);
    fillText(shorter, wider);
    ::SetWindowPos(window_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

TOstrelFhelp::~TOstrelFhelp()
{
    if (window_ != nullptr)
        ::DestroyWindow(window_);
    ::DeleteObject(font_);
}

void TOstrelFhelp::showInFront()
{
    if (window_ == nullptr)
        makeFrame();
    if (!::IsWindowVisible(window_)) {
        if (!placed_) {
            placeFirst();
            placed_ = true;
        }
        ::ShowWindow(window_, SW_SHOWNORMAL);
    }
    if (::IsIconic(window_))
        ::ShowWindow(window_, SW_RESTORE);
    ::SetForegroundWindow(window_);
    ::SetFocus(Memo1);
    ::SendMessageW(Memo1, EM_SETSEL, 0, 0);
}

LRESULT CALLBACK TOstrelFhelp::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CTLCOLORSTATIC: // a read-only box asks as a static does
        ::SetTextColor(reinterpret_cast<HDC>(wParam), colourOf(layout::kHelpLook.text));
        ::SetBkColor(reinterpret_cast<HDC>(wParam), colourOf(layout::kHelpLook.background));
        return reinterpret_cast<LRESULT>(brushOf(colourOf(layout::kHelpLook.background)));
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) // Esc, through the dialog keys
            ::ShowWindow(window, SW_HIDE);
        return 0;
    case WM_CLOSE: // closing only hides it
        ::ShowWindow(window, SW_HIDE);
        return 0;
    default:
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace cttax::win32
