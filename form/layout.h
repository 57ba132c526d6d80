// SPDX-License-Identifier: MIT
// The windows as they are designed, for every front end to build from: each
// control of the main window with its place at 96 DPI, its caption, face and
// colours; the menu, the titles and the help window. A front end loops over
// kControls and makes each control with its toolkit; nothing here names a
// toolkit. Every product text of the windows is written here once (the
// result captions in text/present.h, which the batch calculator shares).
#pragma once

#include "form/placement.h"
#include "text/present.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace cttax::layout {

inline constexpr const char *kWindowTitle = "Kaldo 2011";
inline constexpr const char *kHelpTitle = "Kaldo 2011 Help";
inline constexpr const char *kFileMenu = "&File";
inline constexpr const char *kExitCommand = "&Exit";
inline constexpr const char *kHelpCommand = "&Help";
inline constexpr const char *kHomePageCommand = "&Kaldo Home Page";
inline constexpr const char *kStatusCaption = "Select Filing Status";
inline constexpr std::array<const char *, 4> kStatusItems = {"Single", "Married", "Separately", "Household"};

// A colour fixed by the design, or one the desktop gives (the system
// colours of the classic scheme, which a front end reads where it has them).
struct Rgb {
    std::uint8_t red, green, blue;
    friend bool operator==(const Rgb &, const Rgb &) = default;
};
enum class SystemColour { WindowText, AppWorkspace, InactiveGradient, ButtonFace };
struct Colour {
    std::optional<SystemColour> system; // or else `fixed`
    Rgb fixed{};
};
inline constexpr Colour kSystem(SystemColour which) { return {which, {}}; }
// The system colours where a desktop names none (Linux, the browser): those
// of the Windows 10 scheme the window was drawn in.
constexpr Rgb standInFor(SystemColour which)
{
    switch (which) {
    case SystemColour::WindowText: return {0, 0, 0};
    case SystemColour::AppWorkspace: return {171, 171, 171};
    case SystemColour::InactiveGradient: return {215, 228, 242};
    case SystemColour::ButtonFace: break;
    }
    return {240, 240, 240};
}
inline constexpr Colour kFixed(std::uint8_t r, std::uint8_t g, std::uint8_t b) { return {std::nullopt, {r, g, b}}; }

// A control's text on its background. A fixed colour always has a fixed
// partner, so a high-contrast scheme can never put white on the boxes' white.
struct Look {
    Colour text;
    Colour background;
};
inline constexpr Look kPlainLook{kSystem(SystemColour::WindowText), kSystem(SystemColour::AppWorkspace)};
inline constexpr Look kInputLook{kFixed(0, 0, 0), kFixed(255, 255, 255)};
inline constexpr Look kResultLook{kFixed(0, 0, 255), kFixed(0, 255, 255)};
inline constexpr Look kPanelLook{kFixed(0, 0, 128), kFixed(128, 128, 128)}; // its captions navy on grey
inline constexpr Look kGroupLook{kSystem(SystemColour::WindowText), kSystem(SystemColour::InactiveGradient)};
inline constexpr Look kHelpLook{kFixed(0, 0, 0), kFixed(192, 220, 192)};

// A face: the family, the character height in pixels at 96 DPI (internal
// leading not counted), bold, underlined.
struct Face {
    const char *family;
    int height;
    bool bold;
    bool underline;
};
inline constexpr Face kTitleFace{"Arial", 21, true, true};
inline constexpr Face kCaptionFace{"Arial", 16, true, false};
inline constexpr Face kHelpFace{"MS Sans Serif", 13, false, false};
// The main window's own face, which no control keeps (the design's form font).
inline constexpr Face kWindowFace{"Lucida Handwriting", 35, true, false};

enum class Role {
    Label,  // a caption, as wide as its text (the width is the design's)
    Input,  // an amount box the user types in
    Result, // a read-only box a result is written to
    Group,  // the filing status group, its caption on its frame
    Item,   // one status item in the group
    Panel,  // the raised panel that holds the results
};
enum class Parent { Client, Group, Panel };

struct Control {
    const char *name; // the control's name (Edit1, Label6, ...)
    Role role;
    Parent parent;
    int left, top, width, height; // in the parent, at 96 DPI
    const char *caption;          // nullptr: none (the boxes hold kPlaceholder)
    const Face *face;
    const Look *look;
};

inline constexpr int kItemsTop = 24; // the status items below the group's caption
inline constexpr int kItemStep = (160 - kItemsTop) / 4;

// Every control, in the order of the boxes' tab order: the status group, the
// AGI box, the panel with its six results, the property tax box. Each box
// comes right after the label that names it, its "$" after it.
//   Edit1  CT Adjusted Gross Income     Edit2  CT Property Tax Paid
//   Edit3  Personal Exemption Table A   Edit4  CT Income Tax from Table B
//   Edit5  Tax Credit Decimal Table C   Edit6  CT Personal Tax Credit
//   Edit7  Property Tax Credit Allowance  Edit8  Connecticut State Income Tax
inline constexpr Control kControls[] = {
    {"RadioStatus", Role::Group, Parent::Client, 248, 54, 209, 160, kStatusCaption, &kCaptionFace, &kGroupLook},
    {"Item0", Role::Item, Parent::Group, 10, kItemsTop, 190, kItemStep, kStatusItems[0], &kCaptionFace, &kGroupLook},
    {"Item1", Role::Item, Parent::Group, 10, kItemsTop + kItemStep, 190, kItemStep, kStatusItems[1], &kCaptionFace, &kGroupLook},
    {"Item2", Role::Item, Parent::Group, 10, kItemsTop + 2 * kItemStep, 190, kItemStep, kStatusItems[2], &kCaptionFace, &kGroupLook},
    {"Item3", Role::Item, Parent::Group, 10, kItemsTop + 3 * kItemStep, 190, kItemStep, kStatusItems[3], &kCaptionFace, &kGroupLook},
    {"Label1", Role::Label, Parent::Client, 53, 12, 396, 24, "Connecticut State Resident Income Tax", &kTitleFace, &kPlainLook},
    {"Label2", Role::Label, Parent::Client, 12, 57, 203, 19, "CT Adjusted Gross Income", &kCaptionFace, &kPlainLook},
    {"Edit1", Role::Input, Parent::Client, 54, 86, 113, 27, nullptr, &kCaptionFace, &kInputLook},
    {"Label3", Role::Label, Parent::Client, 38, 90, 9, 19, "$", &kCaptionFace, &kPlainLook},
    {"Panel1", Role::Panel, Parent::Client, 12, 240, 477, 265, nullptr, &kCaptionFace, &kPanelLook},
    {"Label6", Role::Label, Parent::Panel, 16, 17, 325, 19, kPresentedResults[0].caption, &kCaptionFace, &kPanelLook},
    {"Edit3", Role::Result, Parent::Panel, 347, 15, 113, 27, nullptr, &kCaptionFace, &kResultLook},
    {"Label7", Role::Label, Parent::Panel, 16, 58, 326, 19, kPresentedResults[1].caption, &kCaptionFace, &kPanelLook},
    {"Edit4", Role::Result, Parent::Panel, 347, 56, 113, 27, nullptr, &kCaptionFace, &kResultLook},
    {"Label8", Role::Label, Parent::Panel, 16, 99, 319, 19, kPresentedResults[2].caption, &kCaptionFace, &kPanelLook},
    {"Edit5", Role::Result, Parent::Panel, 347, 97, 113, 27, nullptr, &kCaptionFace, &kResultLook},
    {"Label9", Role::Label, Parent::Panel, 16, 140, 324, 19, kPresentedResults[3].caption, &kCaptionFace, &kPanelLook},
    {"Edit6", Role::Result, Parent::Panel, 347, 138, 113, 27, nullptr, &kCaptionFace, &kResultLook},
    {"Label10", Role::Label, Parent::Panel, 16, 181, 322, 19, kPresentedResults[4].caption, &kCaptionFace, &kPanelLook},
    {"Edit7", Role::Result, Parent::Panel, 347, 179, 113, 27, nullptr, &kCaptionFace, &kResultLook},
    {"Label11", Role::Label, Parent::Panel, 16, 222, 324, 19, kPresentedResults[5].caption, &kCaptionFace, &kPanelLook},
    {"Edit8", Role::Result, Parent::Panel, 347, 220, 113, 27, nullptr, &kCaptionFace, &kResultLook},
    {"Label4", Role::Label, Parent::Client, 12, 155, 161, 19, "CT Property Tax Paid", &kCaptionFace, &kPlainLook},
    {"Edit2", Role::Input, Parent::Client, 54, 178, 113, 27, nullptr, &kCaptionFace, &kInputLook},
    {"Label5", Role::Label, Parent::Client, 38, 182, 9, 19, "$", &kCaptionFace, &kPlainLook},
};

// The control of that name (which must be in the table).
constexpr const Control &control(std::string_view name)
{
    for (const Control &c : kControls)
        if (name == c.name)
            return c;
    throw "no such control"; // a compile-time error where it is evaluated so
}

// The main window's own background and its fixed client area.
inline constexpr Look kWindowLook = kPlainLook;

// The help window: its client area and its one text box, at 96 DPI.
inline constexpr ScreenSize kHelpClient{426, 759};
inline constexpr ScreenArea kHelpText{16, 18, 394, 723};
inline constexpr Colour kHelpBackground = kSystem(SystemColour::ButtonFace);

} // namespace cttax::layout
