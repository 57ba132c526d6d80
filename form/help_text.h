// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace cttax {

inline constexpr const char *kHomePage = "https://cttax.example.org/";
inline constexpr const char *kEmailAddress = "cttax@example.org";

// The instructions the help window shows, its lines joined by `lineEnd`.
std::string helpText(const char *lineEnd);

} // namespace cttax
