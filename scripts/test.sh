#!/usr/bin/env bash
# Installs what is missing, builds Zentyr and every test, and runs them all through CTest.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh test
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)"
cd build
ctest --output-on-failure -j2 "$@"
