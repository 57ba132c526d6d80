// SPDX-License-Identifier: MIT
#pragma once

#include "form/view.h"
#include "settings/windows/utf16.h"

#include <string>
#include <vector>

#include <windows.h>

namespace cttax::win32 {

// The desktop in Win32: its message boxes, beep, shell and monitors.
class Win32Desktop final : public FormDesktop {
public:
    // The window the boxes are modal to; none before the main window is made.
    void setOwner(HWND owner) { owner_ = owner; }

    void warn(const std::string &text) override;
    void reportError(const std::string &title, const std::string &text) override;
    void beep() override;
    // The shell's "open" action in a normal window.
    void openUrl(const std::string &address) override;
    // The work areas of the monitors.
    std::vector<ScreenArea> screenAreas() const override;

private:
    HWND owner_ = nullptr;
};


} // namespace cttax::win32
