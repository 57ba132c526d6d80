// SPDX-License-Identifier: MIT
#pragma once

#include <vector>

namespace cttax {

// Desktop geometry as both window front ends hand it over, in the
// desktop's pixels.
struct ScreenPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const ScreenPoint &, const ScreenPoint &) = default;
};
struct ScreenSize {
    int width = 0;
    int height = 0;
};
struct ScreenArea {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// The strip along the top of a window's frame that a person needs to see
// to take hold of it: the title bar, and the menu bar below it.
inline constexpr int kTitleStripHeight = 24;
// A window manager's border, where its real width is not known yet.
inline constexpr int kUsualFrameBorder = 8;
// How much of that strip must show, across and down, to count as visible.
inline constexpr int kGripWidth = 40;
inline constexpr int kGripHeight = 8;

// The frame position a stored window position is restored to. `wanted`
// itself whenever the title strip would be visible on some screen (so every
// ordinary position, a top of -8 included, comes back exactly). Otherwise,
// as after a monitor was unplugged, the position on the nearest screen
// closest to `wanted` at which the whole frame fits (its top-left corner
// where the frame is the larger). Any int is safe, 2147483647 included.
//   screens {0,0 1600x900}, frame 502x548:
//   (400, 300) -> (400, 300)    (1700, 300) -> (1098, 300)    (-8, -8) -> (-8, -8)
//   (2147483647, 2147483647) -> (1098, 352)
ScreenPoint onSomeScreen(ScreenPoint wanted, ScreenSize frame, const std::vector<ScreenArea> &screens);

// The help window's first place: its frame centred on the whole virtual
// desktop, all monitors together (the division truncated), and never left
// of or above the desktop's origin.
//   desktop {0,0 1600x1200}, frame 442x798 -> (579, 201)
//   desktop {-1920,0 3520x1080}, frame 442x798 -> (-381, 141)
//   desktop {0,0 1024x768}, frame 442x798 -> (291, 0)
ScreenPoint centredOnDesktop(ScreenArea desktop, ScreenSize frame);

} // namespace cttax
