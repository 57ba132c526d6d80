// SPDX-License-Identifier: MIT
#include "form/placement.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace cttax {

namespace {

// Rectangles as half-open spans in 64 bits: a stored position may be any
// int, and adding a width to it must not overflow.
struct Span {
    std::int64_t begin, end;
};

std::int64_t overlap(Span a, Span b)
{
    return std::max<std::int64_t>(0, std::min(a.end, b.end) - std::max(a.begin, b.begin));
}

double gap(Span a, Span b)
{
    return static_cast<double>(std::max<std::int64_t>({0, b.begin - a.end, a.begin - b.end}));
}

std::int64_t fitted(std::int64_t wanted, std::int64_t size, Span screen)
{
    if (size >= screen.end - screen.begin)
        return screen.begin;
    return std::clamp(wanted, screen.begin, screen.end - size);
}

} // namespace

ScreenPoint onSomeScreen(ScreenPoint wanted, ScreenSize frame, const std::vector<ScreenArea> &screens)
{
    const std::int64_t width = std::max(frame.width, 1);
    const std::int64_t height = std::max(frame.height, 1);
    const Span stripX{wanted.x, wanted.x + width};
    const Span stripY{wanted.y, wanted.y + std::min<std::int64_t>(kTitleStripHeight, height)};

    const ScreenArea *nearest = nullptr;
    double nearestDistance = std::numeric_limits<double>::infinity();
    for (const ScreenArea &screen : screens) {
        const Span x{screen.left, std::int64_t{screen.left} + screen.width};
        const Span y{screen.top, std::int64_t{screen.top} + screen.height};
        if (overlap(stripX, x) >= std::min<std::int64_t>(kGripWidth, width) &&
            overlap(stripY, y) >= std::min<std::int64_t>(kGripHeight, stripY.end - stripY.begin))
            return wanted;
        const double dx = gap(stripX, x), dy = gap(stripY, y);
        const double distance = dx * dx + dy * dy;
        if (distance < nearestDistance) {
            nearestDistance = distance;
            nearest = &screen;
        }
    }
    if (nearest == nullptr)
        return wanted;
    const Span x{nearest->left, std::int64_t{nearest->left} + nearest->width};
    const Span y{nearest->top, std::int64_t{nearest->top} + nearest->height};
    return {static_cast<int>(fitted(wanted.x, width, x)), static_cast<int>(fitted(wanted.y, height, y))};
}

ScreenPoint centredOnDesktop(ScreenArea desktop, ScreenSize frame)
{
    return {desktop.left + std::max(0, (desktop.width - frame.width) / 2),
            desktop.top + std::max(0, (desktop.height - frame.height) / 2)};
}

} // namespace cttax
