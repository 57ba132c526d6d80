// SPDX-License-Identifier: MIT
#include "ui/win32/controls.h"

#include <map>
#include <string>

namespace cttax::win32 {

HFONT makeFont(const wchar_t *face, int height, bool bold, bool underline, UINT dpi, int fewer)
{
    LOGFONTW font{};
    font.lfHeight = -(scaled(height, dpi) - fewer); // negative: the character height
    font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    font.lfUnderline = underline ? TRUE : FALSE;
    font.lfCharSet = ANSI_CHARSET;
    font.lfQuality = CLEARTYPE_QUALITY;
    lstrcpynW(font.lfFaceName, face, LF_FACESIZE);
    return ::CreateFontIndirectW(&font);
}

HFONT makeFont(const layout::Face &face, UINT dpi, int fewer)
{
    wchar_t family[LF_FACESIZE] = {};
    ::MultiByteToWideChar(CP_UTF8, 0, face.family, -1, family, LF_FACESIZE - 1);
    return makeFont(family, face.height, face.bold, face.underline, dpi, fewer);
}

int textWidth(HFONT font, const std::wstring &text)
{
    const HDC dc = ::CreateCompatibleDC(nullptr);
    const HGDIOBJ old = ::SelectObject(dc, font);
    SIZE extent{};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    return extent.cx;
}

COLORREF colourOf(const layout::Colour &colour)
{
    if (!colour.system)
        return RGB(colour.fixed.red, colour.fixed.green, colour.fixed.blue);
    switch (*colour.system) {
    case layout::SystemColour::WindowText: return ::GetSysColor(COLOR_WINDOWTEXT);
    case layout::SystemColour::AppWorkspace: return ::GetSysColor(COLOR_APPWORKSPACE);
    case layout::SystemColour::InactiveGradient: return ::GetSysColor(COLOR_GRADIENTINACTIVECAPTION);
    case layout::SystemColour::ButtonFace: break;
    }
    return ::GetSysColor(COLOR_BTNFACE);
}

HBRUSH brushOf(COLORREF colour)
{
    static std::map<COLORREF, HBRUSH> brushes;
    HBRUSH &brush = brushes[colour];
    if (brush == nullptr)
        brush = ::CreateSolidBrush(colour);
    return brush;
}

namespace {

LRESULT CALLBACK containerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NCCREATE: // the look lives as long as the process
        ::SetWindowLongPtrW(window, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(reinterpret_cast<const CREATESTRUCTW *>(lParam)->lpCreateParams));
        break;
    case WM_ERASEBKGND: {
        const auto *look = reinterpret_cast<const ContainerLook *>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        RECT area{};
        ::GetClientRect(window, &area);
        ::FillRect(reinterpret_cast<HDC>(wParam), &area, brushOf(look->background));
        if (look->raisedBevel)
            ::DrawEdge(reinterpret_cast<HDC>(wParam), &area, BDR_RAISEDINNER, BF_RECT);
        return 1;
    }
    case WM_COMMAND:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
        return ::SendMessageW(::GetAncestor(window, GA_ROOT), message, wParam, lParam);
    default:
        break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

void registerContainerClass(HINSTANCE instance)
{
    WNDCLASSEXW type{};
    type.cbSize = sizeof type;
    type.lpfnWndProc = containerProc;
    type.hInstance = instance;
    type.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    type.lpszClassName = kContainerClass;
    ::RegisterClassExW(&type);
}

UINT dpiOf(HWND window)
{
    using GetDpiForWindowFn = UINT(WINAPI *)(HWND);
    static const auto getDpi = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void *>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    const UINT dpi = getDpi != nullptr && window != nullptr ? getDpi(window) : 0;
    return dpi != 0 ? dpi : 96;
}

SIZE outerSizeFor(int width, int height, DWORD style, DWORD exStyle, bool menu, UINT dpi)
{
    using AdjustFn = BOOL(WINAPI *)(LPRECT, DWORD, BOOL, DWORD, UINT);
    static const auto adjust = reinterpret_cast<AdjustFn>(reinterpret_cast<void *>(
        ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "AdjustWindowRectExForDpi")));
    RECT rect{0, 0, scaled(width, dpi), scaled(height, dpi)};
    if (adjust != nullptr)
        adjust(&rect, style, menu, exStyle, dpi);
    else
        ::AdjustWindowRectEx(&rect, style, menu, exStyle);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

std::wstring textOf(HWND window)
{
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

} // namespace cttax::win32
