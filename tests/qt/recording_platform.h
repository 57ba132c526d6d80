// SPDX-License-Identifier: MIT
#pragma once

#include "ui/qt/platform.h"

#include <QString>
#include <QStringList>
#include <QUrl>
#include <QWidget>

// Stands in for the desktop: records each call instead of showing a modal
// box, beeping or starting a browser, so the window can be driven by QTest.
//
// Placement acts as a window manager with a frame would: the frame goes
// where it is placed, and the client area sits `frameMargin` inside it. A
// platform with `positionKnown` false tells no position, as on Wayland.
class RecordingPlatform final : public cttax::Platform {
public:
    void warn(QWidget *, const QString &text) override { calls << "warn: " + text; }
    void reportError(const QString &title, const QString &text) override
    {
        calls << "error: " + title + " | " + text;
    }
    void beep() override { calls << "beep"; }
    void openUrl(const QUrl &url) override { calls << "open: " + url.toString(); }

    void placeFrame(QWidget *window, QPoint position) override
    {
        placed << position;
        window->move(position + frameMargin);
    }
    std::optional<QPoint> framePosition(const QWidget *window) override
    {
        if (!positionKnown)
            return std::nullopt;
        return window->pos() - frameMargin;
    }
    QList<QRect> screenAreas() override { return screens; }

    QStringList calls;
    QList<QPoint> placed;
    QPoint frameMargin{0, 0};
    bool positionKnown = true;
    QList<QRect> screens{QRect(0, 0, 1920, 1080)};
};
