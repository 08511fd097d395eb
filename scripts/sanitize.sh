#!/usr/bin/env bash
# Builds the program and its fast tests with AddressSanitizer and UndefinedBehaviorSanitizer into build-asan/ and runs
# the fast tests (the offscreen unit tests and the short endurance run). Any report fails the run.
# Extra arguments go to ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh test
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZENTYR_SANITIZE=ON >/dev/null
cmake --build build-asan -j"$(nproc)"
export ASAN_OPTIONS="halt_on_error=1:abort_on_error=0:detect_leaks=1:detect_stack_use_after_return=1:strict_init_order=1:check_initialization_order=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
cd build-asan
ctest --output-on-failure -j2 -L fast "$@"
