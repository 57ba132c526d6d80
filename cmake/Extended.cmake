# SPDX-License-Identifier: MIT
# Every amount is an x87 80-bit extended value. Stop at configure time where
# long double is anything else, rather than compute different last bits.
include(CheckCXXSourceCompiles)
check_cxx_source_compiles([=[
#include <limits>
static_assert(std::numeric_limits<long double>::digits == 64, "");
static_assert(std::numeric_limits<long double>::max_exponent == 16384, "");
int main() { return 0; }
]=] CTTAX_HAS_X87_EXTENDED)
if(NOT CTTAX_HAS_X87_EXTENDED)
  message(FATAL_ERROR
    "cttax needs long double to be the 80-bit x87 extended type (64-bit significand), "
    "as on x86-64 Linux with GCC or Clang. This compiler/target gives another long double; "
    "the results would differ in their last bits, so the build stops here.")
endif()
