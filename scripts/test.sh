#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds Zentyr and every test (preset "release": build/), and runs them all
# through CTest. Extra arguments go to ctest, e.g. -L fast or -R e2e.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh test
# ccache lets the package test reuse this build's objects instead of compiling everything again.
export CCACHE_BASEDIR=$PWD
cmake --preset release -DCMAKE_CXX_COMPILER_LAUNCHER=ccache >/dev/null
cmake --build --preset release -j"$(nproc)"
ctest --preset release "$@"
