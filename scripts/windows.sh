#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Cross-builds Zentyr for 64-bit Windows on Debian 12 (run as root): installs what is missing, builds or
# reuses the static Qt for MinGW-w64 (scripts/lib/mingw-qt.sh), builds zentyr.exe and its tests (preset
# "windows": build-windows/), makes the installer build-windows/zentyr-<version>-win64.exe, and runs the
# tests under Wine in a fresh prefix on a private X desktop, and the program itself under Wine from the
# desktop harness (a host build in build-windows/host). Extra arguments go to ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
here=$PWD
started=$SECONDS
step() { echo "== $* ($((SECONDS - started)) s)"; }

step "packages"
scripts/deps.sh windows

step "static Qt for MinGW-w64"
source scripts/lib/mingw-qt.sh
mingw_qt
export ZENTYR_MINGW_QT=$MINGW_QT

source scripts/lib/desktop.sh
source scripts/lib/wine.sh
step "private desktop and a fresh Wine prefix"
desktop_start
trap '{ wineserver -k || true; } 2>/dev/null; desktop_cleanup' EXIT
wine_prefix "$here/build-windows/wine" # the prefix the build's emulator setting names

step "configure and build"
launcher=()
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR=$here
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake --preset windows -DZENTYR_MINGW_QT="$MINGW_QT" "${launcher[@]}" >/dev/null
cmake --build --preset windows -j"$(nproc)"

step "installer"
rm -f build-windows/zentyr-*-win64.exe
(cd build-windows && cpack -G NSIS >/dev/null) || { tail -30 build-windows/_CPack_Packages/*/NSIS/NSISOutput.log; exit 1; }
ls build-windows/zentyr-*-win64.exe

step "tests under Wine"
ctest --preset windows "$@"

# The desktop test drives the Windows program from a Linux build of the desktop harness, and reads
# the windows' Win32 state through the probe built above.
step "the program under Wine, read through the Win32 probe"
cmake -S . -B build-windows/host -DCMAKE_BUILD_TYPE=Release -DZENTYR_WINDOWS_BUILD="$here/build-windows" \
  "${launcher[@]}" >/dev/null
cmake --build build-windows/host --target e2e_wine -j"$(nproc)"
ctest --test-dir build-windows/host -L wine --output-on-failure "$@"
step "done"
