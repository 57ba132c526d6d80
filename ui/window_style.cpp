// SPDX-License-Identifier: MIT
#include "ui/window_style.h"

#include <QPixmap>

#include "ui/cttax.xpm"

namespace cttax {

QColor windowTextColor()
{
    return QColor(0, 0, 0);
}

QColor appWorkspaceColor()
{
    return QColor(171, 171, 171);
}

QColor inactiveGradientColor()
{
    return QColor(215, 228, 242);
}

QColor buttonFaceColor()
{
    return QColor(240, 240, 240);
}

QFont pixelFont(const QString &family, int pixels, bool bold, bool underline)
{
    QFont font(family);
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setUnderline(underline);
    return font;
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

QIcon applicationIcon()
{
    return QIcon(QPixmap(cttax_xpm));
}

} // namespace cttax
