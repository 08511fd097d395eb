#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian 12 packages a task needs, only those missing.
# Usage: scripts/deps.sh run|test|fuzz|package|windows
set -euo pipefail

build=(cmake g++ make pkgconf qt6-base-dev qt6-image-formats-plugins libxcb1-dev fonts-liberation)
desktop=(xvfb x11-utils x11-apps xdotool imagemagick openbox trayer wmctrl)
# Wayland, several monitors, and the status-notifier tray (a session bus, a watcher and a host).
tests=(binutils-mingw-w64-x86-64 weston qt6-wayland x11-xserver-utils
  dbus-daemon dbus-bin haskell-status-notifier-item-utils haskell-gtk-sni-tray-utils)
fuzz=(clang libclang-rt-14-dev)
package=(dpkg-dev file appstream desktop-file-utils lintian)
# The Windows cross-build (scripts/windows.sh): MinGW-w64, Debian's Qt for the host tools and its source
# for the static Qt, Wine on a private X desktop for the tests, NSIS for the installer.
windows=(cmake ninja-build ccache binutils g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 dpkg-dev patch
  qt6-base-dev qt6-base-dev-tools wine wine64 nsis xvfb xdotool x11-utils imagemagick fonts-liberation)

case "${1:-run}" in
  run) want=("${build[@]}" "${desktop[@]}") ;;
  test) want=("${build[@]}" "${desktop[@]}" "${tests[@]}" "${package[@]}") ;;
  fuzz) want=("${build[@]}" "${fuzz[@]}") ;;
  package) want=("${build[@]}" "${desktop[@]}" "${package[@]}") ;;
  windows) want=("${windows[@]}") ;;
  *) echo "usage: $0 run|test|fuzz|package|windows" >&2; exit 2 ;;
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
