// SPDX-License-Identifier: MIT
#pragma once

#include "ui/qt/platform.h"

namespace cttax {

class QtPlatform final : public Platform {
public:
    void warn(QWidget *parent, const QString &text) override;
    void reportError(const QString &title, const QString &text) override;
    void beep() override;
    void openUrl(const QUrl &url) override;
    void placeFrame(QWidget *window, QPoint position) override;
    std::optional<QPoint> framePosition(const QWidget *window) override;
    QList<QRect> screenAreas() override;
};

// True where the display server keeps window positions from clients.
bool platformHidesWindowPositions();

} // namespace cttax
