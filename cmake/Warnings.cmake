# SPDX-License-Identifier: MIT
# Compile options shared by every target of the project. Floating-point
# contraction would fuse a multiply and an add into one rounding, which changes
# the last bits of the tax; it stays off everywhere.
add_compile_options(-Wall -Wextra -Wpedantic -ffp-contract=off)
if(CTTAX_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
