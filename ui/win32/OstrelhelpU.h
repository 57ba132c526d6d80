// SPDX-License-Identifier: MIT
#pragma once

#include <windows.h>

namespace cttax::win32 {

// The instructions window: one fixed, read-only, word-wrapped text. Made at
// its first showing; its close button and Esc only hide it.
class TOstrelFhelp {
public:
    explicit TOstrelFhelp(HINSTANCE instance);
    ~TOstrelFhelp();
    TOstrelFhelp(const TOstrelFhelp &) = delete;
    TOstrelFhelp &operator=(const TOstrelFhelp &) = delete;

    // Shows the window and brings it to the front. The first showing centres
    // it on the whole virtual desktop (its top at 0 at the least), inside the
    // work area of its monitor: a window taller than that is shortened to it
    // and its text scrolls. Later showings show it where it was when it was
    // closed.
    void showInFront();
    HWND handle() const { return window_; }

    HWND Memo1 = nullptr; // made at the first showing

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void makeFrame();
    void fillText(int shorter, int wider);
    void placeFirst();

    HINSTANCE instance_;
    HWND window_ = nullptr; // made at the first showing
    HFONT font_ = nullptr;
    bool placed_ = false;
};

} // namespace cttax::win32
