// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QPalette>
#include <QString>

#include "form/layout.h"

namespace cttax {

// The desktop colours the windows are drawn in; a Linux desktop has no
// named system colours for these, so the layout's stand-ins are used.
QColor windowTextColor();        // system window text
QColor appWorkspaceColor();      // application workspace
QColor inactiveGradientColor();  // gradient of an inactive title bar
QColor buttonFaceColor();        // button faces

// A font whose character height (without internal leading) is `pixels`, in
// `family` or, where that is not installed, the installed face that stands in
// for it (Liberation Sans for Arial).
QFont pixelFont(const QString &family, int pixels, bool bold, bool underline = false);
// A face of the layout, as pixelFont gives it.
QFont fontOf(const layout::Face &face);
// A colour of the layout: a fixed one, or the stand-in for a system colour.
QColor colourOf(const layout::Colour &colour);

QPalette withBackground(QPalette palette, const QColor &background);
QPalette withText(QPalette palette, const QColor &text);
// For edit boxes: the box colour and its text colour.
QPalette withBase(QPalette palette, const QColor &base, const QColor &text);

// Every text and background role a widget may draw with, in every colour
// group, set to one fixed pair (the highlight roles stay the desktop's).
QPalette fixedTextPalette(QPalette palette, const QColor &background, const QColor &text);

// The WCAG contrast ratio of two colours, 1 to 21.
double contrastRatio(const QColor &a, const QColor &b);

// The desktop's font for menus and dialogs, unless fontconfig resolves it to
// a fixed-pitch face (as it does on a system without DejaVu): then the same
// size in a proportional face.
QFont proportionalUiFont(const QFont &desktopFont);

// The 16 x 16, 16-colour window icon.
QIcon applicationIcon();

} // namespace cttax
