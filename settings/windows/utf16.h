// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace cttax {

// UTF-8 to the UTF-16 Windows takes, and back; an ill-formed sequence comes
// out as U+FFFD.
//   wide("Ünterschrift") -> L"Ünterschrift"    narrow(L"€5") -> "\xe2\x82\xac" "5"
std::wstring wide(std::string_view text);
std::string narrow(std::wstring_view text);

} // namespace cttax
