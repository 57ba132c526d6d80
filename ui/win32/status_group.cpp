// SPDX-License-Identifier: MIT
// The main window's filing status group: the four items, which of them
// is a tab stop, the arrow keys and the focus mark.
#include "ui/win32/OstrelU.h"

#include "ui/win32/controls.h"

#include <algorithm>

#include <commctrl.h>

namespace cttax::win32 {

void TOstrelF::focusStatusItem(int index)
{
    focusing_ = true;
    ::SetFocus(radio(index));
    focusing_ = false;
}

// The status items as on Windows and in the Qt window: the arrow keys
// select the next item (wrapping round), and a focus selects nothing (a
// BS_RADIOBUTTON that gets the focus unchecked notifies a click).
LRESULT CALLBACK TOstrelF::radioProc(HWND radio, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data)
{
    auto *self = reinterpret_cast<TOstrelF *>(data);
    switch (message) {
    case WM_GETDLGCODE:
        return ::DefSubclassProc(radio, message, wParam, lParam) | DLGC_WANTARROWS;
    case WM_KEYDOWN:
        if (wParam == VK_DOWN || wParam == VK_RIGHT || wParam == VK_UP || wParam == VK_LEFT) {
            self->stepStatus(wParam == VK_DOWN || wParam == VK_RIGHT ? 1 : -1);
            return 0;
        }
        break;
    case WM_SETFOCUS: {
        const bool was = self->focusing_;
        self->focusing_ = true;
        const LRESULT result = ::DefSubclassProc(radio, message, wParam, lParam);
        self->focusing_ = was;
        ::InvalidateRect(radio, nullptr, TRUE);
        return result;
    }
    case WM_KILLFOCUS:
        ::InvalidateRect(radio, nullptr, TRUE);
        break;
    case WM_PAINT: {
        const LRESULT result = ::DefSubclassProc(radio, message, wParam, lParam);
        if (::GetFocus() == radio)
            drawFocus(radio);
        return result;
    }
    case WM_NCDESTROY:
        ::RemoveWindowSubclass(radio, radioProc, 0);
        break;
    default:
        break;
    }
    return ::DefSubclassProc(radio, message, wParam, lParam);
}

// The focused item's own mark, a line in the text's colour around its
// circle and caption: the system's dotted rectangle is drawn inverted, and
// on a background of middle grey (Wine's theme) it is 127 on 128.
void TOstrelF::drawFocus(HWND radio)
{
    RECT area{};
    ::GetClientRect(radio, &area);
    const int width = textWidth(reinterpret_cast<HFONT>(::SendMessageW(radio, WM_GETFONT, 0, 0)), textOf(radio));
    const int mark = ::GetSystemMetrics(SM_CXMENUCHECK) + scaled(8, dpiOf(radio));
    const int half = (area.bottom - area.top) / 2, reach = std::min(half, scaled(12, dpiOf(radio)));
    RECT frame{0, half - reach, std::min<LONG>(area.right, mark + width), half + reach};
    const HDC dc = ::GetDC(radio);
    ::FrameRect(dc, &frame, brushOf(::GetSysColor(COLOR_WINDOWTEXT)));
    ::ReleaseDC(radio, dc);
}

void TOstrelF::stepStatus(int step)
{
    const int from = statusIndex_ < 0 ? (step > 0 ? -1 : 0) : statusIndex_;
    const int to = (from + step + 4) % 4;
    setStatusIndex(to);
    focusing_ = true;
    ::SetFocus(radio(to));
    focusing_ = false;
}

// Only the selected item (the first where none is) is a tab stop: Tab
// enters the group at the selection and leaves it at the next tab stop.
void TOstrelF::markTabStop()
{
    const int stop = std::max(0, statusIndex_);
    for (int i = 0; i < 4; ++i) {
        const LONG_PTR style = ::GetWindowLongPtrW(radio(i), GWL_STYLE);
        const LONG_PTR wanted = i == stop ? style | WS_TABSTOP : style & ~static_cast<LONG_PTR>(WS_TABSTOP);
        if (wanted != style)
            ::SetWindowLongPtrW(radio(i), GWL_STYLE, wanted);
    }
}

void TOstrelF::setStatusIndex(int index)
{
    if (index == statusIndex_)
        return;
    if (statusIndex_ >= 0)
        ::SendMessageW(radio(statusIndex_), BM_SETCHECK, BST_UNCHECKED, 0);
    statusIndex_ = index;
    markTabStop();
    if (index < 0)
        return;
    ::SendMessageW(radio(index), BM_SETCHECK, BST_CHECKED, 0);
    guarded([this] { RadioStatusClick(); });
}

} // namespace cttax::win32
