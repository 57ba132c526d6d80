// SPDX-License-Identifier: MIT
// What both windows share, without a window: placement on the screens, the
// error report's text and the locale's decimal symbol in the boxes.
#include "form/form.h"
#include "form/placement.h"
#include "tests/support/files.h"

#include <algorithm>

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <string>
#include <tuple>
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

TEST(Placement, HelpWindowCentredOnTheWholeDesktop)
{
    const ScreenSize help{442, 798};
    EXPECT_TRUE(centredOnDesktop({0, 0, 1600, 1200}, help) == (ScreenPoint{579, 201}));
    EXPECT_TRUE(centredOnDesktop({-1920, 0, 3520, 1080}, help) == (ScreenPoint{-381, 141})); // a monitor left of the main one
    EXPECT_TRUE(centredOnDesktop({0, 0, 1024, 768}, help) == (ScreenPoint{291, 0}));
    EXPECT_TRUE(centredOnDesktop({0, 0, 400, 300}, help) == (ScreenPoint{0, 0}));
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

TEST(Form, ApplicationTitleFromTheProgramsName)
{
    const auto lower = [](std::string_view text) {
        std::string out(text);
        for (char &c : out)
            c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        return out;
    };
    struct Case {
        const char *path;
        bool backslash;
        const char *title;
    };
    for (const Case c : {Case{"/opt/x/TaxTool.exe", false, "Taxtool"}, Case{"/usr/bin/cttax", false, "cttax"},
                         Case{"/a.b/CT.TAX.bin", false, "Ct"}, Case{"C:\\Tools\\TaxTool.exe", true, "Taxtool"},
                         Case{"/odd\\Name", false, "odd\\name"}, Case{"/x/\xc3\x89TAT.exe", false, "\xc3\x89tat"},
                         Case{"/x/.hidden", false, ""}})
        EXPECT_EQ(applicationTitleFor(c.path, c.backslash, lower), c.title) << c.path;
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

// A window without a toolkit: its boxes and status group notify as a
// form's controls do, its frame stands where it was put (or where the user
// dragged it), and the desktop's calls are recorded.
class FakeView final : public FormControls, public FormFrame, public FormDesktop {
public:
    MainForm *form = nullptr;
    std::array<std::string, 2> inputs{kPlaceholder, kPlaceholder};
    std::array<std::string, 6> results{kPlaceholder, kPlaceholder, kPlaceholder, kPlaceholder, kPlaceholder, kPlaceholder};
    int status = -1;
    std::vector<std::string> calls;
    ScreenPoint frame{1, 2};
    bool positionKnown = true; // false: as on Wayland
    std::vector<ScreenPoint> placed;
    std::vector<ScreenArea> screens;

    // A change notification for what the box holds, as Wine sends for Ctrl+A.
    void notify(Input box)
    {
        form->guarded([&] { box == Input::Agi ? form->Edit1Change() : form->Edit2Change(); });
    }
    std::string inputText(Input box) const override { return inputs[box == Input::Agi ? 0 : 1]; }
    void writeInput(Input box, const std::string &text) override
    {
        std::string &held = inputs[box == Input::Agi ? 0 : 1];
        if (held == text)
            return;
        held = text;
        notify(box);
    }
    void writeResult(std::size_t row, const std::string &text) override { results[row] = text; }
    int statusIndex() const override { return status; }
    void setStatusIndex(int index) override
    {
        EXPECT_TRUE(index >= -1 && index <= 3) << index;
        if (index == status)
            return;
        status = index;
        if (index >= 0)
            form->guarded([&] { form->RadioStatusClick(); });
    }
    void focusStatusItem(int index) override { calls.push_back("focus " + std::to_string(index)); }

    void placeFrame(ScreenPoint at) override
    {
        placed.push_back(at);
        frame = at;
    }
    std::optional<ScreenPoint> framePosition() const override
    {
        return positionKnown ? std::optional(frame) : std::nullopt;
    }
    ScreenSize frameSize() const override { return {518, 581}; }
    void requestClose() override {}
    void showHelp() override {}

    void warn(const std::string &text) override { calls.push_back("warn " + text); }
    void reportError(const std::string &, const std::string &text) override { calls.push_back("error " + text); }
    void beep() override { calls.push_back("beep"); }
    void openUrl(const std::string &) override {}
    std::vector<ScreenArea> screenAreas() const override { return screens; }
};

struct FakeWindow {
    FakeWindow(const SettingsPath &settings = "/nonexistent/cttax.fig")
        : form(view, view, view, "cttax", {settings, false})
    {
        view.form = &form;
        form.FormCreate();
    }
    FakeView view;
    MainForm form;
};

// A change notification for the text last handled runs nothing, whoever
// sent it: no second warning, no second beep.
TEST(Form, SameTextAgainRunsNothing)
{
    FakeWindow w;
    w.form.FormShow();
    w.view.writeInput(FormControls::Input::Agi, "x");
    const std::vector<std::string> once = {"warn Error in CT AGI entry.", "beep"};
    EXPECT_EQ(w.view.calls, once);
    w.view.notify(FormControls::Input::Agi);
    w.view.notify(FormControls::Input::Agi);
    EXPECT_EQ(w.view.calls, once);
    w.view.writeInput(FormControls::Input::Agi, "5e21"); // fails in the calculation: reported once
    w.view.notify(FormControls::Input::Agi);
    EXPECT_EQ(w.view.calls.size(), 3u);
}

// A result box that never received a computed result shows none; one that
// did keeps it through a later failure.
TEST(Form, PlaceholderIsNeverShownAsAResult)
{
    FakeWindow w;
    w.view.inputs[0] = "2e20"; // as if loaded: the first presentation fails at the Table B tax
    w.view.notify(FormControls::Input::Agi);
    EXPECT_EQ(w.view.calls, std::vector<std::string>{"error Invalid floating point operation."});
    EXPECT_EQ(w.view.results, (std::array<std::string, 6>{"0", "", "", "", "", ""}));

    FakeWindow later;
    later.form.FormShow();
    later.view.writeInput(FormControls::Input::Agi, "16300");
    later.view.writeInput(FormControls::Input::Agi, "2e20");
    EXPECT_EQ(later.view.results, (std::array<std::string, 6>{"0", "99", "0.75", "74", "0", "25"}));
}

// The form's decimal symbol: the boxes show it and take it, "." where the
// desktop gives none; each window has its own.
TEST(Form, DecimalSymbolIsTheWindowsOwn)
{
    struct Case {
        const char *symbol, *typed, *decimal;
    };
    for (const Case c : {Case{",", "16300,5", "0,7"}, Case{"", "16300.5", "0.7"}, Case{".", "16300.5", "0.7"}}) {
        FakeWindow w;
        w.form.setDecimalSymbol(c.symbol);
        w.form.FormShow();
        w.view.writeInput(FormControls::Input::Agi, c.typed);
        EXPECT_TRUE(w.view.calls.empty()) << c.symbol;
        EXPECT_EQ(w.view.results[2], c.decimal) << c.symbol;
    }
    FakeWindow plain;
    plain.form.FormShow();
    plain.view.writeInput(FormControls::Input::Agi, "16300,5");
    EXPECT_EQ(plain.view.calls.size(), 2u) << "a comma where the symbol is \".\" is warned about";
}

// The first showing loads once: a later one (a restore) leaves what was
// typed since; the focus starts on the selected status item.
TEST(Form, LoadsOnceAndFocusesTheStatus)
{
    FakeWindow w;
    w.form.loadOnce();
    w.view.setStatusIndex(2);
    w.view.writeInput(FormControls::Input::Agi, "40000");
    w.form.loadOnce();
    EXPECT_EQ(w.view.inputs[0], "40000");
    EXPECT_EQ(w.view.status, 2);
    w.form.focusFirst();
    EXPECT_EQ(w.view.calls, std::vector<std::string>{"focus 2"});
}

// A stored status outside the four items selects the nearest end: none
// below (and then the state's own status, Single), Household above; the view
// is never given another number.
TEST(Form, StoredStatusIsClampedByTheForm)
{
    const std::filesystem::path folder = freshTestFolder("cttax-form");
    const std::filesystem::path settings = folder / "cttax.fig";
    for (const auto &[stored, shown] : {std::pair{"7", 3}, std::pair{"-5", 0}, std::pair{"2147483647", 3}, std::pair{"2", 2}}) {
        writeAll(settings, std::string("1\r\n2\r\n 0.0E+0000\r\n 0.0E+0000\r\n") + stored + "\r\n");
        FakeWindow w(settings.string());
        w.form.FormShow();
        EXPECT_EQ(w.view.status, shown) << stored;
    }
    std::filesystem::remove_all(folder);
}

// ---------------------------------------------------------------- position

std::string settingsText(int top, int left, const char *status = "1")
{
    return std::to_string(top) + "\r\n" + std::to_string(left) +
           "\r\n 5.00000000000000E+0004\r\n 0.00000000000000E+0000\r\n" + status + "\r\n";
}

// A window over a settings file in a fresh folder, shown and later closed.
class SavedPosition : public testing::Test {
protected:
    void SetUp() override { writeAll(settings, settingsText(300, 400)); }
    void TearDown() override { std::filesystem::remove_all(folder); }
    // Opens, lets `meanwhile` act on the frame (the user, the display), closes.
    template <class Act>
    FakeView session(Act meanwhile, std::vector<ScreenArea> screens = {{0, 0, 1920, 1080}})
    {
        FakeWindow w(settings.string());
        w.view.screens = std::move(screens);
        w.form.FormShow();
        meanwhile(w.view);
        w.form.FormClose();
        return w.view;
    }
    std::filesystem::path folder = freshTestFolder("cttax-placement");
    std::filesystem::path settings = folder / "cttax.fig";
};

// The stored numbers stay the same run after run; a moved window is saved
// where it went and opens there.
TEST_F(SavedPosition, FrameKeepsItsStoredPositionRunAfterRun)
{
    for (int run = 0; run < 3; ++run) {
        const FakeView view = session([](FakeView &) {});
        EXPECT_TRUE(view.placed.back() == (ScreenPoint{400, 300})) << run;
        EXPECT_EQ(readAll(settings), settingsText(300, 400)) << run;
    }
    session([](FakeView &v) { v.frame = {520, 110}; }); // dragged
    EXPECT_EQ(readAll(settings), settingsText(110, 520));
    EXPECT_TRUE(session([](FakeView &) {}).placed.back() == (ScreenPoint{520, 110}));
}

// Where the display tells no position (Wayland), the loaded position is
// saved again, and everything else as usual; without a file, 10, 10.
TEST_F(SavedPosition, UnknownPositionSavesTheLoadedOne)
{
    session([](FakeView &v) {
        v.positionKnown = false;
        v.frame = {-3, -30};
        v.setStatusIndex(3);
    });
    EXPECT_EQ(readAll(settings), settingsText(300, 400, "3"));
    std::filesystem::remove(settings);
    session([](FakeView &v) { v.positionKnown = false; });
    EXPECT_EQ(readAll(settings).substr(0, 8), "10\r\n10\r\n");
}

// A frame a pixel off where it was put (a fractional scale rounds the client
// area and the frame each to the desktop's pixels) keeps its stored place;
// a window really moved is saved where it went.
TEST_F(SavedPosition, StoredPositionDoesNotCreepByRounding)
{
    for (const auto &[dx, dy, saved] : {std::tuple{1, -1, settingsText(300, 400)}, std::tuple{0, 1, settingsText(300, 400)},
                                        std::tuple{2, 0, settingsText(300, 402)}, std::tuple{0, -5, settingsText(295, 400)}}) {
        writeAll(settings, settingsText(300, 400));
        session([dx = dx, dy = dy](FakeView &v) { v.frame = {v.frame.x + dx, v.frame.y + dy}; });
        EXPECT_EQ(readAll(settings), saved) << dx << "," << dy;
    }
}

// A position on a monitor since unplugged opens on the screen there is, the
// frame's size counted.
TEST_F(SavedPosition, PositionFromAnUnpluggedMonitorOpensOnTheScreen)
{
    writeAll(settings, settingsText(300, 1700));
    const FakeView view = session([](FakeView &) {}, {{0, 0, 1600, 900}});
    EXPECT_TRUE(view.placed.back() == (ScreenPoint{1600 - 518, 300}));
}

} // namespace
