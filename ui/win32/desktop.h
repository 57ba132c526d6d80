// SPDX-License-Identifier: MIT
#pragma once

#include "form/placement.h"

#include <string>
#include <vector>

#include <windows.h>

namespace cttax::win32 {

// What the Win32 windows ask of the desktop: the modal boxes, the beep, the
// browser and the monitors. The application uses Win32Desktop; a test can
// record the calls instead.
class Desktop {
public:
    virtual ~Desktop() = default;
    // The input warning: modal, "Warning", exclamation icon, one "OK".
    virtual void warn(HWND owner, const std::wstring &text) = 0;
    // The error report: modal, the application title as caption, stop icon.
    virtual void reportError(HWND owner, const std::wstring &title, const std::wstring &text) = 0;
    // Message beep of type 0.
    virtual void beep() = 0;
    // The shell's "open" action in a normal window; a failure is silent.
    virtual void openUrl(const std::wstring &address) = 0;
    // The work areas of the monitors, in desktop coordinates.
    virtual std::vector<ScreenArea> screenAreas() = 0;
};

class Win32Desktop final : public Desktop {
public:
    void warn(HWND owner, const std::wstring &text) override;
    void reportError(HWND owner, const std::wstring &title, const std::wstring &text) override;
    void beep() override;
    void openUrl(const std::wstring &address) override;
    std::vector<ScreenArea> screenAreas() override;
};

// UTF-8 to UTF-16 and back.
std::wstring wide(const std::string &text);
std::string narrow(const std::wstring &text);

} // namespace cttax::win32
