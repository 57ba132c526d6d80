# SPDX-License-Identifier: MIT
# Every amount is an 80-bit extended value (64-bit significand). On x86-64,
# where long double is the x87 type, the hardware computes it; everywhere
# else (32-bit x86 included, where the hardware path is not tried) the
# software type in engine/ does, with the same bits.
include(CheckCXXSourceCompiles)
check_cxx_source_compiles([=[
#include <limits>
static_assert(std::numeric_limits<long double>::digits == 64, "");
static_assert(std::numeric_limits<long double>::max_exponent == 16384, "");
#if !defined(__x86_64__)
#error "not x86-64"
#endif
int main() { return 0; }
]=] CTTAX_HAS_X87_EXTENDED)

option(CTTAX_SOFT_EXTENDED "Compute with the software 80-bit type even where the x87 unit is there" OFF)
if(NOT CTTAX_HAS_X87_EXTENDED AND NOT CTTAX_SOFT_EXTENDED)
  message(STATUS "not x86-64 with the x87 long double: using the software extended type")
  set(CTTAX_SOFT_EXTENDED ON CACHE BOOL "Compute with the software 80-bit type even where the x87 unit is there" FORCE)
endif()
if(CTTAX_SOFT_EXTENDED)
  message(STATUS "Extended arithmetic: software")
else()
  message(STATUS "Extended arithmetic: x87 hardware")
endif()
