// SPDX-License-Identifier: MIT
#pragma once

#include "form/layout.h"

#include <string>

namespace cttax::web {

// A face of the layout as CSS declarations: "font: bold 16px Arial,
// "Liberation Sans", Arimo, sans-serif" (and the underline where it has one).
std::string cssFont(const layout::Face &face);
// A colour of the layout as CSS ("rgb(0, 0, 255)"), a system colour as its
// stand-in.
std::string cssColour(const layout::Colour &colour);

} // namespace cttax::web
