#!/usr/bin/env bash
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
rt=$(mktemp -d); chmod 700 "$rt"
num=90
while [ -e "/tmp/.X11-unix/X$num" ] || [ -e "/tmp/.X$num-lock" ]; do num=$((num + 1)); done
export DISPLAY=":$num" XDG_RUNTIME_DIR="$rt" QT_QPA_PLATFORM=xcb
unset DBUS_SESSION_BUS_ADDRESS
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$rt"; }
trap cleanup EXIT

Xvfb "$DISPLAY" -screen 0 1280x800x24 -dpi 96 -nolisten tcp >/dev/null 2>&1 & pids+=($!)
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
openbox --sm-disable >/dev/null 2>&1 & pids+=($!)
trayer --edge top --align right --widthtype request --height 24 --SetDockType true --SetPartialStrut true \
  >/dev/null 2>&1 & pids+=($!)
sleep 1

build/zentyr "$@" & app=$!; pids+=($app)
sleep 1
import -window root "$out/splash.png"
sleep 3
import -window root "$out/running.png"
kill "$app" 2>/dev/null || true
echo "Screenshots:"
echo "  $out/splash.png   (one second after start: the splash)"
echo "  $out/running.png  (four seconds after start: tray icon and standard ruler)"
