// SPDX-License-Identifier: MIT
// What both windows share, without a window: placement on the screens, the
// error report's text and the locale's decimal symbol in the boxes.
#include "ui/core/form.h"
#include "ui/core/placement.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

using namespace cttax;

namespace {

struct ScreenCase {
    const char *name;
    ScreenPoint wanted;
    std::vector<ScreenArea> screens;
    ScreenPoint restored;
};

TEST(Placement, TitleBarVisibleOrBroughtOntoTheNearestScreen)
{
    const ScreenSize frame{502, 548};
    const ScreenArea laptop{0, 0, 1600, 900};
    const ScreenArea right{1600, 0, 1920, 1080};
    const ScreenCase cases[] = {
        {"ordinary position", {400, 300}, {laptop}, {400, 300}},
        {"partly off the left and top", {-8, -8}, {laptop}, {-8, -8}},
        {"mostly off the right, grip still visible", {1560, 300}, {laptop}, {1560, 300}},
        {"less than the grip visible", {1570, 300}, {laptop}, {1098, 300}},
        {"monitor unplugged", {1700, 300}, {laptop}, {1098, 300}},
        {"on the second monitor", {1700, 300}, {laptop, right}, {1700, 300}},
        {"title bar above every screen", {400, -30}, {laptop}, {400, 0}},
        {"far below", {400, 5000}, {laptop}, {400, 352}},
        {"largest int", {INT_MAX, INT_MAX}, {laptop}, {1098, 352}},
        {"smallest int", {INT_MIN, INT_MIN}, {laptop}, {0, 0}},
        {"nearest of two screens", {4000, 100}, {laptop, right}, {3018, 100}},
        {"screen smaller than the frame", {900, 900}, {{0, 0, 400, 300}}, {0, 0}},
        {"no screen known", {1700, 300}, {}, {1700, 300}},
    };
    for (const ScreenCase &c : cases)
        {
        const ScreenPoint at = onSomeScreen(c.wanted, frame, c.screens);
        EXPECT_TRUE(at == c.restored) << c.name << ": " << at.x << ", " << at.y;
    }
}

TEST(Form, ErrorReportText)
{
    EXPECT_EQ(errorReportText("Invalid numeric input"), "Invalid numeric input.");
    EXPECT_EQ(errorReportText("Done."), "Done.");
    EXPECT_EQ(errorReportText("I/O error 32"), "I/O error 32.");
    EXPECT_EQ(errorReportText("Stop!"), "Stop!");
    EXPECT_EQ(errorReportText("Fehler: Datei ungültig"), "Fehler: Datei ungültig.");
    EXPECT_EQ(errorReportText(""), "");
}

TEST(Form, LocaleDecimalSymbolReadsAsPoint)
{
    struct Case {
        const char *text, *separator, *read;
    };
    const Case cases[] = {
        {"1234,5", ",", "1234.5"},
        {"1234.5", ",", "1234.5"},
        {"1,2,3", ",", "1.2.3"},
        {"1234,5", ".", "1234,5"},
        {"12\u066b5", "\u066b", "12.5"},   // Arabic decimal separator, two bytes
        {"12,5", "\u00a0,", "12,5"},        // two characters: not replaced
        {"", ",", ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(withDecimalPoint(c.text, c.separator), c.read) << c.text;
}

} // namespace
