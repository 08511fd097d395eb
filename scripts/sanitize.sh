#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the program and its fast tests with AddressSanitizer and UndefinedBehaviorSanitizer (preset "asan":
# build-asan/) and runs the fast tests (the offscreen unit tests and the short endurance run) with the
# sanitizer options of the "asan" test preset. Any report fails the run. Extra arguments go to ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh test
cmake --preset asan >/dev/null
cmake --build --preset asan -j"$(nproc)"
ctest --preset asan "$@"
