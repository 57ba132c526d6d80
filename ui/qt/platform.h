// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QPoint>
#include <QRect>

#include <optional>

class QString;
class QUrl;
class QWidget;

namespace cttax {

// What the windows ask of the desktop. The application uses QtPlatform;
// tests record the calls instead, so nothing blocks on a modal box.
class Platform {
public:
    virtual ~Platform() = default;
    // The input warning: modal, titled "Warning", warning icon, one "OK".
    virtual void warn(QWidget *parent, const QString &text) = 0;
    // The error report: modal, the application title as caption, stop icon.
    virtual void reportError(const QString &title, const QString &text) = 0;
    // The desktop's default beep.
    virtual void beep() = 0;
    // Opens a web address in the default browser; failure is silent.
    virtual void openUrl(const QUrl &url) = 0;

    // Window placement. Positions are the window's outer top-left corner,
    // its frame included, in desktop coordinates.
    //
    // Puts the window's frame at `position`, before its first showing or
    // after; where a window manager adds its frame only when the window
    // appears, the frame still ends up there.
    virtual void placeFrame(QWidget *window, QPoint position) = 0;
    // Where the frame is now, or nothing where the display does not tell a
    // client its position (Wayland).
    virtual std::optional<QPoint> framePosition(const QWidget *window) = 0;
    // The screens' areas available to windows.
    virtual QList<QRect> screenAreas() = 0;
};

} // namespace cttax
