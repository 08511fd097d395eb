#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Starts the zentyr that the package unpacked under ROOT on a private desktop (Xvfb 1280x800
# at 96 dpi, openbox, trayer): its splash paints, the tray icon and the standard ruler appear,
# it stays alive, and "Exit Zentyr" from the tray icon's menu ends it with status 0.
# Without a notification area, "zentyr hideruler" explains in a box and ends with status 0.
# Usage: run_package.sh ROOT ARTIFACTS-DIR
set -euo pipefail
root=$1 art=$2
bin="$root/usr/bin/zentyr"
[ -x "$bin" ] || { echo "FAIL: no $bin" >&2; exit 1; }
mkdir -p "$art"
source "$(dirname "$0")/../../scripts/lib/desktop.sh"
export ZENTYR_TRACE=1
fail() { echo "FAIL: $*" >&2; import -window root "$art/failure.png" 2>/dev/null || true; exit 1; }
traced() { grep -q "trace: $1" "$art/stderr.txt"; }
ended() { ! ps -o stat= -p "$1" 2>/dev/null | grep -qv '^Z'; } # gone, or a zombie not yet reaped
menu_open() { menu_of "$app" >/dev/null; }

desktop_start wm || fail "no private desktop"

# No notification area: after the (shortened) wait for one, hideruler says so in a box and ends
# once the box is closed.
ZENTYR_TRAY_GRACE_MS=1000 "$bin" hideruler 2>"$art/stderr-notray.txt" & notray=$!; desktop_pids+=($notray)
# The splash carries the same title: look for the box only once the program has given up.
waitfor 15 grep -q 'this desktop has no notification area' "$art/stderr-notray.txt" \
  || fail "no word about the missing notification area"
waitfor 5 xdotool search --onlyvisible --pid "$notray" --name '^Zentyr$' >/dev/null \
  || fail "no box about the missing notification area"
box=$(xdotool search --onlyvisible --pid "$notray" --name '^Zentyr$' | head -1)
# OK has the focus; a press can get lost while the window manager is still placing the box.
for _ in 1 2 3 4 5; do
  xdotool windowactivate --sync "$box" key Return keyup Return 2>/dev/null || true
  waitfor 2 ended "$notray" && break
done
ended "$notray" || fail "zentyr hideruler without a tray did not end after its box"
status=0
wait "$notray" || status=$?
[ "$status" = 0 ] || fail "zentyr hideruler without a tray ended with $status: $(cat "$art/stderr-notray.txt")"
grep -q 'no notification area' "$art/stderr-notray.txt" || fail "no word about the missing notification area"

desktop_add tray || fail "no tray host"

"$bin" 2>"$art/stderr.txt" & app=$!; desktop_pids+=($app)
waitfor 10 traced 'splash first paint' || fail "no splash"
import -window root "$art/splash.png"
waitfor 10 traced 'tray icon added' || fail "no tray icon"
waitfor 10 traced 'standard ruler shown' || fail "no standard ruler"
sleep 1
kill -0 "$app" 2>/dev/null || fail "zentyr ended on its own"
import -window root "$art/running.png"

# The tray icon: the panel's embedded child window, 2x2 or larger.
panel=$(xdotool search --classname '^panel$' | head -1)
icon=$(xwininfo -children -id "$panel" | awk '/^ +0x[0-9a-f]+ .*[0-9]+x[0-9]+\+/ {print $1; exit}')
[ -n "$icon" ] || fail "no tray icon inside the panel"
geo=$(xwininfo -id "$icon")
x=$(awk '/Absolute upper-left X/ {print $4}' <<<"$geo"); y=$(awk '/Absolute upper-left Y/ {print $4}' <<<"$geo")
w=$(awk '/Width:/ {print $2}' <<<"$geo"); h=$(awk '/Height:/ {print $2}' <<<"$geo")
xdotool mousemove $((x + w / 2)) $((y + h / 2)) click 3
# The menu's last item is "Exit Zentyr".
waitfor 5 menu_open || fail "the tray menu did not open"
xdotool key Up && xdotool key Return && xdotool keyup Return
status=0
for _ in $(seq 50); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app" 2>/dev/null && fail "Exit Zentyr did not end the program"
wait "$app" || status=$?
[ "$status" = 0 ] || fail "zentyr ended with $status"
echo "the packaged zentyr started, showed its splash, tray icon and ruler, and ended with status 0"
