#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# A headless Sway session with swaybar's tray, in a mount and network namespace of its own so that
# its XWayland at :0 collides with no other X server, and in a PID namespace that ends with it. As root:
#   unshare -m -n -p -f --propagation private sway-session.sh DIR [PATH...]
# DIR gets the session's environment in DIR/session.env once XWayland answers; clients are started
# with `nsenter -t UNSHARE_PID -m -n` and that environment, as user nobody (Sway refuses root).
# The session has a /tmp of its own; DIR and each PATH (the programs it runs) stay visible in it.
set -euo pipefail
dir=$1
# The host's /tmp, kept where the new one does not cover it, to bind back what must stay.
mount --bind /tmp /mnt
mount -t tmpfs tmpfs /tmp
for p in "$@"; do
  case $p in
    /tmp/*)
      top=${p#/tmp/} top=${top%%/*}
      mkdir -p "/tmp/$top"
      mountpoint -q "/tmp/$top" || mount --bind "/mnt/$top" "/tmp/$top" ;;
  esac
done
mkdir -m 1777 /tmp/.X11-unix
ip link set lo up 2>/dev/null || true
# No logind and no system bus of the host's: the shells use their fallbacks.
for d in /run/systemd /run/dbus; do [[ -d $d ]] && mount -t tmpfs tmpfs "$d"; done
mkdir -p /run/dbus && dbus-daemon --system --fork 2>/dev/null || true

home=$dir/home runtime=$dir/runtime
mkdir -p "$home" "$runtime"
chmod 700 "$runtime"
cat >"$dir/sway.config" <<EOF
output HEADLESS-1 mode 1280x800 bg #3060a0 solid_color
default_border pixel 2
bar {
    position top
    status_command while :; do echo bar; sleep 60; done
    tray_output *
    tray_padding 2
}
exec sh -c 'until xdpyinfo >/dev/null 2>&1; do sleep 0.1; done; env | grep -E "^(DISPLAY|WAYLAND_DISPLAY|SWAYSOCK|DBUS_SESSION_BUS_ADDRESS|XDG_RUNTIME_DIR)=" >$dir/session.env.new && mv $dir/session.env.new $dir/session.env'
EOF
chown -R 65534:65534 "$dir"
exec setpriv --reuid=65534 --regid=65534 --clear-groups env -i PATH=/usr/bin:/bin HOME="$home" \
  XDG_RUNTIME_DIR="$runtime" WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
  dbus-run-session -- sway -c "$dir/sway.config"
