// SPDX-License-Identifier: MIT
#pragma once

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
};

} // namespace cttax
