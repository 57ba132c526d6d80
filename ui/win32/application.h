// SPDX-License-Identifier: MIT
#pragma once

#include <string>

#include <windows.h>

namespace cttax::win32 {

// The form's title rule with the system's lower case ("\\" separates too).
std::wstring applicationTitleFor(const std::wstring &executablePath);

// What the process sets up before its first window: the floating-point
// environment, the locale's decimal symbol, the common controls.
void setUpProcess();

// Start-up, the message loop and shutdown of the Windows application.
int runApplication(HINSTANCE instance, int showCommand);

} // namespace cttax::win32
