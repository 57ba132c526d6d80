// SPDX-License-Identifier: MIT
#pragma once

#include "form/view.h"

#include <QString>
#include <QStringList>

// Stands in for the desktop: records each call instead of showing a modal
// box, beeping or starting a browser, so the window can be driven by QTest.
class RecordingDesktop final : public cttax::FormDesktop {
public:
    void warn(const std::string &text) override { calls << "warn: " + QString::fromStdString(text); }
    void reportError(const std::string &title, const std::string &text) override
    {
        calls << "error: " + QString::fromStdString(title) + " | " + QString::fromStdString(text);
    }
    void beep() override { calls << "beep"; }
    void openUrl(const std::string &address) override { calls << "open: " + QString::fromStdString(address); }
    std::vector<cttax::ScreenArea> screenAreas() const override { return screens; }

    QStringList calls;
    std::vector<cttax::ScreenArea> screens{{0, 0, 1920, 1080}};
};
