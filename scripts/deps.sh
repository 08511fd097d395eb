#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian 12 packages a task needs, only those missing, and says how many and
# roughly how long first (apt's own lines follow, as it works).
# Usage: scripts/deps.sh run|test|fuzz|package|windows
set -euo pipefail

build=(cmake g++ make pkgconf qt6-base-dev qt6-image-formats-plugins libxcb1-dev fonts-liberation)
desktop=(xvfb x11-utils x11-apps xdotool imagemagick openbox trayer wmctrl)
# ccache (the package test reuses the build's objects), lint, Wayland, several monitors, i3, the
# status-notifier tray (a session bus, a watcher and a host), the accessibility bus the screen-reader
# names and the readout are read from, and Sway with its bar's tray, its XWayland, screenshots and a
# virtual pointer (libwayland-dev).
tests=(ccache clang-format clang-tidy binutils-mingw-w64-x86-64 weston qt6-wayland x11-xserver-utils i3-wm
  dbus-daemon dbus-bin haskell-status-notifier-item-utils haskell-gtk-sni-tray-utils at-spi2-core
  sway grim xwayland libwayland-dev)
fuzz=(clang libclang-rt-14-dev)
# CPack's Debian generator: dpkg-shlibdeps for the library dependencies, file to find the programs.
package=(dpkg-dev file)
# The package test's validators; it also starts the packaged program on the desktop above.
package_check=(appstream desktop-file-utils lintian)
# The Windows cross-build (scripts/windows.sh): MinGW-w64, Debian's Qt for the host tools and its source
# for the static Qt, Wine on a private X desktop for the tests, NSIS for the installer.
windows=(cmake ninja-build ccache binutils g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 dpkg-dev patch
  qt6-base-dev qt6-base-dev-tools wine wine64 nsis xvfb xdotool x11-utils imagemagick fonts-liberation)

case "${1:-run}" in
  run) want=("${build[@]}" "${desktop[@]}") ;;
  test) want=("${build[@]}" "${desktop[@]}" "${tests[@]}" "${package[@]}" "${package_check[@]}") ;;
  fuzz) want=("${build[@]}" "${fuzz[@]}") ;;
  package) want=("${build[@]}" "${package[@]}") ;;
  windows) want=("${build[@]}" "${desktop[@]}" "${windows[@]}") ;; # the host build drives the tests under Wine
  *) echo "usage: $0 run|test|fuzz|package|windows" >&2; exit 2 ;;
esac

missing=()
for p in "${want[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
((${#missing[@]})) || exit 0

export DEBIAN_FRONTEND=noninteractive
# Another apt or dpkg (this script run twice side by side, the system's own updates) holds apt's
# locks: wait for it, and say so, rather than fail at once. apt waits for the dpkg lock itself
# (DPkg::Lock::Timeout); the package lists' lock of `apt-get update` is waited for here.
lock_timeout=900
locks=(/var/lib/dpkg/lock-frontend /var/lib/dpkg/lock /var/lib/apt/lists/lock)
held() { command -v fuser >/dev/null && fuser "${locks[@]}" >/dev/null 2>&1; }
wait_for_apt() {
  held || return 0
  echo "Another apt or dpkg is at work (it holds apt's lock); waiting for it to finish"
  local waited=0
  while held && ((waited < lock_timeout)); do
    sleep 2
    waited=$((waited + 2))
  done
  echo "Going on after $waited s"
}
apt_get() { apt-get -o DPkg::Lock::Timeout=$lock_timeout "$@"; }

wait_for_apt
echo "Updating the package lists"
apt_get update -q
# With what they pull in; about two a second here, downloads included (224 in 108 s).
count=$(apt_get install -s --no-install-recommends "${missing[@]}" | grep -c '^Inst ' || true)
minutes=$(((count + 119) / 120))
echo "Installing ${missing[*]} and what they need: $count Debian packages, about $minutes minute$( ((minutes == 1)) || echo s)"
start=$SECONDS
wait_for_apt
apt_get install -y -q -o Dpkg::Use-Pty=0 --no-install-recommends "${missing[@]}"
echo "Installed $count packages in $((SECONDS - start)) s"
