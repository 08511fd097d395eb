#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian 12 packages a task needs, only those missing.
# Usage: scripts/deps.sh run|test|fuzz|package
set -euo pipefail

build=(cmake g++ make pkgconf qt6-base-dev qt6-image-formats-plugins libxcb1-dev fonts-liberation)
desktop=(xvfb x11-utils x11-apps xdotool imagemagick openbox trayer wmctrl)
# Wayland, several monitors, i3, and the status-notifier tray (a session bus, a watcher and a host).
tests=(binutils-mingw-w64-x86-64 weston qt6-wayland x11-xserver-utils i3-wm
  dbus-daemon dbus-bin haskell-status-notifier-item-utils haskell-gtk-sni-tray-utils)
fuzz=(clang libclang-rt-14-dev)
package=(dpkg-dev file appstream desktop-file-utils lintian)

case "${1:-run}" in
  run) want=("${build[@]}" "${desktop[@]}") ;;
  test) want=("${build[@]}" "${desktop[@]}" "${tests[@]}" "${package[@]}") ;;
  fuzz) want=("${build[@]}" "${fuzz[@]}") ;;
  package) want=("${build[@]}" "${desktop[@]}" "${package[@]}") ;;
  *) echo "usage: $0 run|test|fuzz|package" >&2; exit 2 ;;
esac

missing=()
for p in "${want[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
