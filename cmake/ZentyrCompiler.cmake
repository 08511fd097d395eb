# SPDX-License-Identifier: MIT
# Compiler settings shared by the project's own code.

# The warnings, in one place, for every target: program, tests, tools and benchmarks.
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  add_compile_options(-Wall -Wextra)
endif()

# AddressSanitizer and UndefinedBehaviorSanitizer over everything built, tests included.
if(ZENTYR_SANITIZE)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    message(FATAL_ERROR "ZENTYR_SANITIZE needs GCC or Clang")
  endif()
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
