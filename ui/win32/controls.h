// SPDX-License-Identifier: MIT
// The pieces the Win32 windows are built of: fonts at the monitor's DPI, the
// layout's colours, and the container window that holds a group of controls
// (the status group, the results panel) as one control does.
#pragma once

#include "form/layout.h"

#include <string>

#include <windows.h>

namespace cttax::win32 {

// A design length (pixels at 96 DPI) at `dpi`.
inline int scaled(int length, UINT dpi)
{
    return ::MulDiv(length, static_cast<int>(dpi), 96);
}

// `height` is the character height in pixels at 96 DPI, internal leading
// not counted, less `fewer` pixels at `dpi`; ANSI character set.
HFONT makeFont(const wchar_t *face, int height, bool bold, bool underline, UINT dpi, int fewer = 0);
HFONT makeFont(const layout::Face &face, UINT dpi, int fewer = 0);
// The width of `text` in `font`, in pixels.
int textWidth(HFONT font, const std::wstring &text);

// A colour of the layout: a fixed one, or the system's.
COLORREF colourOf(const layout::Colour &colour);

// A solid brush of one colour, made once and kept for the process.
HBRUSH brushOf(COLORREF colour);

// The container's class name. Its creation parameter is a ContainerLook
// that outlives it; it fills itself with the colour (with a raised bevel one
// pixel wide where asked) and passes its children's notifications and colour
// requests on to the top-level window, as if they were that window's own.
inline constexpr const wchar_t *kContainerClass = L"CttaxContainer";
struct ContainerLook {
    COLORREF background;
    bool raisedBevel;
};
void registerContainerClass(HINSTANCE instance);

// The window's DPI (96 where the system cannot tell).
UINT dpiOf(HWND window);
// The outer rectangle for a client area of `width` x `height` at `dpi`.
SIZE outerSizeFor(int width, int height, DWORD style, DWORD exStyle, bool menu, UINT dpi);

// A window's text, UTF-16.
std::wstring textOf(HWND window);

} // namespace cttax::win32
