# SPDX-License-Identifier: MIT
# A static Qt 6 for MinGW-w64, built from Debian's own qt6-base source and kept in a cache outside the
# clone. The cache folder is named after a hash of everything that shapes the build (source version,
# configure options, patch, compiler, toolchain file), so a changed input never reuses a stale Qt.
# Source it, then call mingw_qt; it sets MINGW_QT to the prefix.

mingw_qt_cache=${ZENTYR_CACHE:-/var/cache/zentyr}
mingw_qt_here=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
mingw_qt_options=(-release -static -static-runtime -qt-host-path /usr -nomake tests -nomake examples
  -no-opengl -no-dbus -no-icu -no-pkg-config -no-zstd
  -qt-zlib -qt-libpng -qt-libjpeg -qt-pcre -qt-doubleconversion -qt-harfbuzz -qt-freetype
  -no-feature-sql -no-feature-network -no-feature-xml -no-feature-concurrent -no-feature-printsupport
  -no-feature-tabletevent -no-feature-vulkan -no-feature-direct2d)
mingw_qt_patch=$mingw_qt_here/scripts/windows/qt6-base-directwrite.patch
mingw_qt_toolchain=$mingw_qt_here/cmake/toolchains/mingw-w64.cmake

# Debian's source packages are reached through a deb-src twin of the system's own entry.
mingw_qt_enable_sources() {
  local list=/etc/apt/sources.list.d/zentyr-deb-src.sources
  if ! apt-cache showsrc qt6-base 2>/dev/null | grep -q '^Version:'; then
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources >"$list"
    apt-get update -qq
  fi
}

mingw_qt() {
  mingw_qt_enable_sources
  local version key
  version=$(apt-cache showsrc qt6-base | awk '/^Version:/ {print $2; exit}')
  key=$( { echo "$version"; printf '%s\n' "${mingw_qt_options[@]}"; cat "$mingw_qt_patch" "$mingw_qt_toolchain"
           x86_64-w64-mingw32-g++-posix --version | head -1; } | sha256sum | cut -c1-16)
  MINGW_QT=$mingw_qt_cache/qt6-mingw-$key
  if [ -f "$MINGW_QT/.complete" ]; then
    echo "Static Qt for MinGW: cached in $MINGW_QT"
    return 0
  fi
  echo "Static Qt for MinGW: building qt6-base $version into $MINGW_QT (about 35 minutes on 2 cores)"
  local work
  mkdir -p "$mingw_qt_cache"
  work=$(mktemp -d "$mingw_qt_cache/build.XXXXXX")
  chmod 755 "$work"  # apt-get source downloads as _apt
  (
    set -e
    cd "$work"
    apt-get source -qq qt6-base="$version" >/dev/null 2>&1
    cd qt6-base-*/
    patch -p1 <"$mingw_qt_patch"
    mkdir ../build && cd ../build
    ../qt6-base-*/configure -prefix "$MINGW_QT" "${mingw_qt_options[@]}" \
      -- -G Ninja -DCMAKE_TOOLCHAIN_FILE="$mingw_qt_toolchain" \
      -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake >../configure.log 2>&1 \
      || { tail -40 ../configure.log; exit 1; }
    ninja -j"$(nproc)" >../build.log 2>&1 || { tail -60 ../build.log; exit 1; }
    rm -rf "$MINGW_QT"
    ninja install >/dev/null
  ) || { echo "Static Qt for MinGW: build failed, logs in $work" >&2; return 1; }
  # Only a finished install counts: an interrupted one is built again next time.
  touch "$MINGW_QT/.complete"
  rm -rf "$work"
}
