// SPDX-License-Identifier: MIT
#include "ui/web/style.h"

namespace cttax::web {

std::string cssFont(const layout::Face &face)
{
    std::string css = std::string("font: ") + (face.bold ? "bold " : "") + std::to_string(face.height) + "px \"" +
                      face.family + "\", \"Liberation Sans\", Arimo, sans-serif";
    if (face.underline)
        css += "; text-decoration: underline";
    return css;
}

std::string cssColour(const layout::Colour &colour)
{
    const layout::Rgb rgb = colour.system ? layout::standInFor(*colour.system) : colour.fixed;
    return "rgb(" + std::to_string(rgb.red) + ", " + std::to_string(rgb.green) + ", " + std::to_string(rgb.blue) + ")";
}

} // namespace cttax::web
