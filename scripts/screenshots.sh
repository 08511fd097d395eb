#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds Zentyr, starts it on a private desktop (Xvfb 1280x800 at 96 dpi, openbox, trayer) and
# saves the README's pictures under docs/screenshots/: splash, ruler-menu, all-rulers,
# information and picture, each cropped to the windows it shows.
# Usage: scripts/screenshots.sh [OUTPUT-DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-docs/screenshots}")
scripts/deps.sh run
cmake --preset release >/dev/null
cmake --build --preset release --target zentyr -j"$(nproc)"
bin="$PWD/build/zentyr"
mkdir -p "$out"

source scripts/lib/desktop.sh
work=$desktop_dir
export ZENTYR_TRACE=1
die() { echo "screenshots: $*" >&2; import -window root "$work/failure.png" 2>/dev/null && cp "$work/failure.png" "$out/.failure.png"; exit 1; }

traced() { grep -q "trace: $1" "$work/stderr.txt"; }
# Visible windows of the program, by the role its windows carry (frmRuler, frmSplash, ...).
windows() { xdotool search --onlyvisible --pid "$app" 2>/dev/null || true; }
role_window() {
  local w
  for w in $(windows); do
    xprop -id "$w" WM_WINDOW_ROLE 2>/dev/null | grep -q "= \"$1\"" && { echo "$w"; return 0; }
  done
  return 1
}
popup_menu() { menu_of "$app"; }
no_popup_menu() { ! popup_menu >/dev/null; }
no_open_dialog() { ! xdotool search --onlyvisible --name '^Open$' >/dev/null; }
# "X Y W H" of a window on the screen.
geometry() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
    /Width:/ {w=$2} /Height:/ {h=$2} END {print x, y, w, h}'
}
# Waits until a window keeps its geometry for 0.3 s (the window manager places it first).
settled() {
  local a b
  for _ in $(seq 30); do
    a=$(geometry "$1"); sleep 0.3; b=$(geometry "$1")
    [ "$a" = "$b" ] && [ "${a%% *}" != 0 ] && return 0
  done
  return 0
}
# Saves the screen cropped to the union of the windows given, with a margin, inside the screen.
shot() {
  local name=$1; shift
  local x0=99999 y0=99999 x1=0 y1=0 x y w h m=12
  for win in "$@"; do
    read -r x y w h < <(geometry "$win")
    ((x < x0)) && x0=$x; ((y < y0)) && y0=$y
    ((x + w > x1)) && x1=$((x + w)); ((y + h > y1)) && y1=$((y + h))
  done
  x0=$((x0 > m ? x0 - m : 0)); y0=$((y0 > m ? y0 - m : 0))
  x1=$((x1 + m < 1280 ? x1 + m : 1280)); y1=$((y1 + m < 800 ? y1 + m : 800))
  import -window root "$work/screen.png"
  convert "$work/screen.png" -crop "$((x1 - x0))x$((y1 - y0))+$x0+$y0" +repage "$out/$name.png"
  echo "  $out/$name.png"
}
# Opens a window's right-click menu at an offset into it and picks an item by its index.
choose() {
  local win=$1 dx=$2 dy=$3 index=$4 x y w h keys=()
  read -r x y w h < <(geometry "$win")
  xdotool mousemove $((x + dx)) $((y + dy)) click 3
  waitfor 3 popup_menu >/dev/null || die "no menu on window $win"
  xdotool mousemove 5 795   # off the menu, so no item is current
  sleep 0.15
  for _ in $(seq 0 "$index"); do keys+=(Down); done
  xdotool key --delay 60 "${keys[@]}" Return
}
start() {
  "$bin" "$@" 2>"$work/stderr.txt" & app=$!; desktop_pids+=($app)
}
stop() { kill "$app" 2>/dev/null || true; wait "$app" 2>/dev/null || true; }

desktop_start wm tray || die "no private desktop"
# A plain backdrop, so the crops show the windows rather than a black void.
convert -size 8x8 xc:'#4a6f8a' "$work/backdrop.png"
display -window root "$work/backdrop.png" 2>/dev/null || true

# A picture for "Display Picture": a sky-to-sand gradient with a few discs.
convert -size 760x70 -define gradient:angle=90 gradient:'#2b6cb0-#f6d365' \
  -fill '#ffffffb0' -draw 'circle 120,35 120,10' -draw 'circle 380,35 380,18' -draw 'circle 640,35 640,26' \
  "$work/picture.png"

echo "Screenshots:"
start
waitfor 10 traced 'splash first paint' || die "no splash"
splash=$(waitfor 5 role_window frmSplash) || die "no splash window"
settled "$splash"
shot splash "$splash"

waitfor 10 traced 'standard ruler shown' || die "no standard ruler"
ruler=$(waitfor 5 role_window frmRuler) || die "no standard ruler window"
settled "$ruler"
read -r rx ry _ _ < <(geometry "$ruler")
xdotool mousemove $((rx + 60)) $((ry + 20)) click 3
menu=$(waitfor 3 popup_menu) || die "no ruler menu"
sleep 0.3
shot ruler-menu "$ruler" "$menu"
xdotool key Escape
waitfor 3 no_popup_menu || die "the menu stayed open"

choose "$ruler" 20 20 1; metric=$(waitfor 5 role_window frmRulerMetric) || die "no metric ruler"
choose "$ruler" 20 20 2; vertical=$(waitfor 5 role_window frmVRuler) || die "no vertical ruler"
choose "$ruler" 20 20 3; angle=$(waitfor 5 role_window frm45Angle) || die "no angle ruler"
# Each opens where its design puts it, mostly over the standard ruler: lay them out side by side.
for w in "$ruler" "$metric" "$vertical" "$angle"; do settled "$w"; done
xdotool windowmove "$ruler" 20 30 windowmove "$metric" 20 125 windowmove "$angle" 20 225 windowmove "$vertical" 830 0
for w in "$ruler" "$metric" "$vertical" "$angle"; do settled "$w"; done
shot all-rulers "$ruler" "$metric" "$vertical" "$angle"
stop

# A fresh start, so that no other window lies over the standard ruler.
start
waitfor 10 traced 'standard ruler shown' || die "no standard ruler the second time"
ruler=$(waitfor 5 role_window frmRuler) || die "no standard ruler window"
settled "$ruler"
choose "$ruler" 200 20 5   # Display Picture
waitfor 5 xdotool search --onlyvisible --name '^Open$' >/dev/null || die "no Open dialog"
sleep 0.3
xdotool type --delay 20 "$work/picture.png"
xdotool key Return; xdotool keyup Return
waitfor 5 no_open_dialog || die "the Open dialog stayed"
sleep 0.5
shot picture "$ruler"

choose "$ruler" 20 20 7   # About
info=$(waitfor 5 role_window frmSplash) || die "no information window"
settled "$info"
# The ruler stays on top: move it clear of the information window, above it or else below.
read -r ix iy _ ih < <(geometry "$info")
read -r _ _ _ rh < <(geometry "$ruler")
if ((iy - rh - 24 >= 0)); then xdotool windowmove "$ruler" "$ix" $((iy - rh - 24))
else xdotool windowmove "$ruler" "$ix" $((iy + ih + 24)); fi
settled "$ruler"
shot information "$info"
stop
