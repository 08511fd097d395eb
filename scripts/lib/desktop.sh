# SPDX-License-Identifier: MIT
# A private X desktop for the scripts that show or check the real program: Xvfb 1280x800 at 96 dpi,
# optionally openbox and trayer. Source it, then call desktop_start [wm] [tray]; everything started
# through desktop_spawn ends with the calling script.

desktop_pids=()
desktop_dir=$(mktemp -d)
chmod 700 "$desktop_dir"
desktop_cleanup() {
  local p
  for p in "${desktop_pids[@]}"; do kill "$p" 2>/dev/null || true; done
  rm -rf "$desktop_dir"
}
trap desktop_cleanup EXIT

# Polls a command every 0.1 s for up to $1 seconds.
waitfor() { local n=$(($1 * 10)); shift; for _ in $(seq "$n"); do "$@" && return 0; sleep 0.1; done; return 1; }

# Runs a command in the background for the life of the script; its pid is in $!.
desktop_spawn() { "$@" >/dev/null 2>&1 & desktop_pids+=($!); }

# Starts Xvfb on a free display, then what desktop_add names.
desktop_start() {
  local num=$((90 + RANDOM % 100))
  while [ -e "/tmp/.X11-unix/X$num" ] || [ -e "/tmp/.X$num-lock" ]; do num=$((num + 1)); done
  export DISPLAY=":$num" XDG_RUNTIME_DIR="$desktop_dir" QT_QPA_PLATFORM=xcb
  unset DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY
  desktop_spawn Xvfb "$DISPLAY" -screen 0 1280x800x24 -dpi 96 -nolisten tcp -noreset
  waitfor 10 xdpyinfo >/dev/null 2>&1 || { echo "Xvfb did not start on $DISPLAY" >&2; return 1; }
  desktop_add "$@"
}

desktop_wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }

# Adds a window manager ("wm": openbox) and an XEmbed tray host ("tray": trayer) to the desktop.
desktop_add() {
  local what
  for what in "$@"; do
    case $what in
      wm) desktop_spawn openbox --sm-disable
          waitfor 20 desktop_wm_ready || { echo "openbox did not start" >&2; return 1; } ;;
      tray) desktop_spawn trayer --edge top --align right --widthtype request --height 24 --SetDockType true \
              --SetPartialStrut true
            waitfor 10 xdotool search --classname '^panel$' >/dev/null || { echo "trayer did not start" >&2; return 1; } ;;
    esac
  done
}

# The open pop-up menu of process $1, if any. Qt types its menus as normal windows: a menu is a
# sizeable override-redirect window that is no tooltip (the tray icon's small window is
# override-redirect too).
menu_of() {
  local w
  for w in $(xdotool search --onlyvisible --pid "$1" 2>/dev/null); do
    xwininfo -id "$w" 2>/dev/null | awk '/Width:/ {w=$2} /Height:/ {h=$2} /Override Redirect State: yes/ {o=1}
      END {exit !(o && w > 40 && h > 40)}' || continue
    xprop -id "$w" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q TOOLTIP && continue
    echo "$w"; return 0
  done
  return 1
}
