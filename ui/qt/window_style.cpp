// SPDX-License-Identifier: MIT
#include "ui/qt/window_style.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QHash>
#include <QStringList>
#include <QPixmap>

#include <algorithm>
#include <cmath>

#include "ui/qt/cttax.xpm"

namespace cttax {

namespace {

QColor standIn(layout::SystemColour which)
{
    const layout::Rgb rgb = layout::standInFor(which);
    return QColor(rgb.red, rgb.green, rgb.blue);
}

} // namespace

QColor windowTextColor()
{
    return standIn(layout::SystemColour::WindowText);
}

QColor appWorkspaceColor()
{
    return standIn(layout::SystemColour::AppWorkspace);
}

QColor inactiveGradientColor()
{
    return standIn(layout::SystemColour::InactiveGradient);
}

QColor buttonFaceColor()
{
    return standIn(layout::SystemColour::ButtonFace);
}

QColor colourOf(const layout::Colour &colour)
{
    if (!colour.system)
        return QColor(colour.fixed.red, colour.fixed.green, colour.fixed.blue);
    switch (*colour.system) {
    case layout::SystemColour::WindowText: return windowTextColor();
    case layout::SystemColour::AppWorkspace: return appWorkspaceColor();
    case layout::SystemColour::InactiveGradient: return inactiveGradientColor();
    case layout::SystemColour::ButtonFace: break;
    }
    return buttonFaceColor();
}

namespace {

// The design's faces, each followed by the faces a Linux desktop has in its
// place (metric-compatible where there is one). The first installed one is
// asked for by name: a family that is not installed would send the font
// matcher through its whole substitution and fallback search.
QString installedFaceFor(const QString &family)
{
    static const QHash<QString, QStringList> kSubstitutes = {
        {"Arial", {"Liberation Sans", "Arimo", "Nimbus Sans", "DejaVu Sans"}},
        {"Lucida Handwriting", {"Z003", "URW Chancery L", "DejaVu Sans"}},
    };
    // families() is the installed list as it stands; hasFamily() would
    // resolve aliases through the font matcher, the very cost saved here.
    static const QStringList installed = QFontDatabase::families();
    if (installed.contains(family))
        return family;
    for (const QString &substitute : kSubstitutes.value(family))
        if (installed.contains(substitute))
            return substitute;
    return family;
}

} // namespace

QFont pixelFont(const QString &family, int pixels, bool bold, bool underline)
{
    QFont font(installedFaceFor(family));
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setUnderline(underline);
    return font;
}

QFont fontOf(const layout::Face &face)
{
    return pixelFont(face.family, face.height, face.bold, face.underline);
}

QPalette withBackground(QPalette palette, const QColor &background)
{
    palette.setColor(QPalette::Window, background);
    return palette;
}

QPalette withText(QPalette palette, const QColor &text)
{
    palette.setColor(QPalette::WindowText, text);
    return palette;
}

QPalette withBase(QPalette palette, const QColor &base, const QColor &text)
{
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Base, base);
        palette.setColor(group, QPalette::Text, text);
    }
    return palette;
}

QPalette fixedTextPalette(QPalette palette, const QColor &background, const QColor &text)
{
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        for (QPalette::ColorRole role : {QPalette::Window, QPalette::Button, QPalette::Base})
            palette.setColor(group, role, background);
        for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
            palette.setColor(group, role, text);
    }
    return palette;
}

double contrastRatio(const QColor &a, const QColor &b)
{
    const auto luminance = [](const QColor &c) {
        const auto linear = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QFont proportionalUiFont(const QFont &desktopFont)
{
    if (!QFontInfo(desktopFont).fixedPitch())
        return desktopFont;
    QFont font = desktopFont;
    font.setFamilies({"DejaVu Sans", "Liberation Sans", "Arial", "Noto Sans", "FreeSans", "Nimbus Sans"});
    font.setStyleHint(QFont::SansSerif);
    font.setFixedPitch(false);
    return font;
}

QIcon applicationIcon()
{
    return QIcon(QPixmap(cttax_xpm));
}

} // namespace cttax
