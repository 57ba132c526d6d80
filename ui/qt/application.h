// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace cttax {

// The form's title rule with Qt's lower case.
QString applicationTitleFor(const QString &executablePath);

// Menus and dialogs in a proportional face whatever fontconfig's default
// (call once the application object exists).
void useProportionalUiFonts();

// The application's icon, which every window and message box then carries
// (the error report at start-up, before any window exists, too).
void useApplicationIcon();

// Start-up, the event loop and shutdown of the desktop application.
int runApplication(int argc, char **argv);

} // namespace cttax
