# SPDX-License-Identifier: MIT
# Compiler settings shared by the project's own code.

# The warnings for the program's libraries, in one place; tests and tools build without them.
add_library(zentyr_warnings INTERFACE)
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  target_compile_options(zentyr_warnings INTERFACE -Wall -Wextra)
endif()

# AddressSanitizer and UndefinedBehaviorSanitizer over everything built, tests included.
if(ZENTYR_SANITIZE)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    message(FATAL_ERROR "ZENTYR_SANITIZE needs GCC or Clang")
  endif()
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
