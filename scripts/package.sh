#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds Zentyr in Release into build/ and makes the Debian
# package build/zentyr_<version>_<arch>.deb with CPack. Extra arguments go to cpack.
# `ctest --test-dir build -L package` then checks the package and starts what it installs.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh package
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)"
rm -f build/zentyr_*.deb
(cd build && cpack -G DEB "$@")
ls build/zentyr_*.deb
