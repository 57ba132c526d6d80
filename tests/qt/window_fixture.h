// SPDX-License-Identifier: MIT
#pragma once

#include "tests/qt/recording_desktop.h"
#include "tests/support/files.h"
#include "ui/qt/OstrelU.h"
#include "ui/qt/OstrelhelpU.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

// A main window over a settings file in a fresh folder, on the recording
// stand-in for the desktop, for the widget tests.
class WindowFixture : public testing::Test {
protected:
    void SetUp() override
    {
        folder = freshTestFolder("cttax-ui");
        settings = folder / "cttax.fig";
    }
    void TearDown() override
    {
        window.reset();
        std::filesystem::remove_all(folder);
    }
    cttax::TOstrelF &open(bool show = true)
    {
        window = std::make_unique<cttax::TOstrelF>(desktop, "Cttax", settings, &help);
        if (show)
            window->show();
        return *window;
    }

    std::filesystem::path folder, settings;
    RecordingDesktop desktop;
    cttax::TOstrelFhelp help;
    std::unique_ptr<cttax::TOstrelF> window;
};
