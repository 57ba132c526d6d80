// SPDX-License-Identifier: MIT
#pragma once

#include "form/view.h"

#include <QPoint>

#include <optional>

class QWidget;

namespace cttax {

// The desktop in Qt: its message boxes, beep, browser and screens.
class QtDesktop final : public FormDesktop {
public:
    // The window the warning is modal to and centred with; none before the
    // main window is made.
    void setOwner(QWidget *owner) { owner_ = owner; }

    void warn(const std::string &text) override;
    void reportError(const std::string &title, const std::string &text) override;
    void beep() override;
    void openUrl(const std::string &address) override;
    std::vector<ScreenArea> screenAreas() const override;

private:
    QWidget *owner_ = nullptr;
};

// Window placement in Qt. Positions are a window's outer top-left corner, its
// frame included, in desktop coordinates.
//
// Puts `window`'s frame at `position`, before its first showing or after;
// where a window manager adds its frame only when the window appears, the
// frame still ends up there.
void placeFrameOf(QWidget *window, QPoint position);
// Where the frame is now, or nothing where the display does not tell a
// client its position (Wayland).
std::optional<QPoint> framePositionOf(const QWidget *window);
// True where the display server keeps window positions from clients.
bool platformHidesWindowPositions();

} // namespace cttax
