// SPDX-License-Identifier: MIT
#pragma once

#include <string>

#include <windows.h>

namespace cttax::win32 {

// The application title from the executable's path: the file name without
// its folder, cut at its first ".", every character after the first in
// lower case. "C:\Tools\TaxTool.exe" -> "Taxtool".
std::wstring applicationTitleFor(const std::wstring &executablePath);

// What the process sets up before its first window: the floating-point
// environment, the locale's decimal symbol, the common controls.
void setUpProcess();

// Start-up, the message loop and shutdown of the Windows application.
int runApplication(HINSTANCE instance, int showCommand);

} // namespace cttax::win32
