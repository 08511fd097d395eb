#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing to build the package, builds what it holds (the program, its
# icons, the manual page and changelog; no tests, no desktop tools) in Release into
# build-package/, or ZENTYR_PACKAGE_BUILD_DIR, and makes the Debian package
# zentyr_<version>_<arch>.deb there with CPack. Extra arguments go to cpack.
# The package test (`ctest --test-dir build -L package`) runs this script into its own folder.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${ZENTYR_PACKAGE_BUILD_DIR:-build-package}
scripts/deps.sh package
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$dir" -j"$(nproc)" --target zentyr zentyr_docs
rm -f "$dir"/zentyr_*.deb
(cd "$dir" && cpack -G DEB "$@")
ls "$dir"/zentyr_*.deb
