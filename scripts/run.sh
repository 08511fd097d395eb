#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds Zentyr in Release (preset "release": build/) and starts it. With no display,
# runs it in a virtual desktop (Xvfb at 96 dpi, openbox, trayer), saves screenshots,
# prints their paths and ends it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh run
cmake --preset release >/dev/null
cmake --build --preset release --target zentyr -j"$(nproc)"

if [ -n "${DISPLAY:-}" ]; then
  exec build/zentyr "$@"
fi

out="$PWD/build/screenshots"
mkdir -p "$out"
source scripts/lib/desktop.sh
desktop_start wm tray
sleep 1

desktop_spawn build/zentyr "$@"; app=$!
sleep 1
import -window root "$out/splash.png"
sleep 3
import -window root "$out/running.png"
kill "$app" 2>/dev/null || true
echo "Screenshots:"
echo "  $out/splash.png   (one second after start: the splash)"
echo "  $out/running.png  (four seconds after start: tray icon and standard ruler)"
