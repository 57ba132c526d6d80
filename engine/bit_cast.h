// SPDX-License-Identifier: MIT
#pragma once

namespace cttax {

// The bits of `from` as a `To` of the same size, as std::bit_cast (which not
// every standard library here has: emscripten's libc++ 3.1.6 lacks it).
template <class To, class From>
constexpr To bitCast(const From &from) noexcept
{
    static_assert(sizeof(To) == sizeof(From));
    return __builtin_bit_cast(To, from);
}

} // namespace cttax
