#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the Debian package with scripts/package.sh into PACKAGE-BUILD-DIR and checks that
# build and the package: no test programs were built, what it holds, its control fields, the
# desktop entry and the AppStream metainfo against their validators, every theme icon at its
# nominal size, and lintian with no errors. Leaves the package's files unpacked under OUT/root
# for the start-up check.
# Usage: check_package.sh PACKAGE-BUILD-DIR OUT VERSION APP-ID
set -euo pipefail
build=$1 out=$2 version=$3 id=$4
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$out"; mkdir -p "$out"
ZENTYR_PACKAGE_BUILD_DIR=$build "$(dirname "$0")/../../scripts/package.sh" >"$out/package.log" 2>&1 ||
  { cat "$out/package.log"; fail "scripts/package.sh"; }
arch=$(dpkg --print-architecture)
deb="$build/zentyr_${version}_${arch}.deb"
[ -f "$deb" ] || fail "no $deb; made: $(ls "$build")"
# The only programs built are the one packaged and the icon generator the build runs
# (CMake's compiler checks and CPack's staging copy left aside).
programs=$(find "$build" \( -name CMakeFiles -o -name _CPack_Packages \) -prune -o -type f -perm -u+x -exec file {} + |
  grep ELF | cut -d: -f1 | xargs -r -n1 basename | sort | tr '\n' ' ')
[ "$programs" = "zentyr zentyr-icongen " ] || fail "the package build made more programs: $programs"

dpkg-deb -c "$deb" | awk '{print $1, $6}' >"$out/contents.txt"
want=(./usr/bin/zentyr "./usr/share/applications/$id.desktop" "./usr/share/metainfo/$id.metainfo.xml"
      ./usr/share/man/man1/zentyr.1.gz ./usr/share/doc/zentyr/copyright ./usr/share/doc/zentyr/changelog.gz)
sizes=(16 22 24 32 48 64 128 256)
for s in "${sizes[@]}"; do want+=("./usr/share/icons/hicolor/${s}x${s}/apps/zentyr.png"); done
for f in "${want[@]}"; do grep -q " $f\$" "$out/contents.txt" || fail "$f missing from the package"; done
grep -q '^-rwxr-xr-x ./usr/bin/zentyr$' "$out/contents.txt" || fail "zentyr is not an executable"
if grep -v '^d' "$out/contents.txt" | grep -vq -e ' ./usr/bin/' -e ' ./usr/share/'; then
  fail "files outside /usr/bin and /usr/share: $(grep -v '^d' "$out/contents.txt" | grep -v -e ' ./usr/bin/' -e ' ./usr/share/')"
fi

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = zentyr ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ "$(field Section)" = utils ] || fail "Section: $(field Section)"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
field Depends | grep -q 'libqt6widgets6' || fail "Depends lacks the Qt libraries: $(field Depends)"
field Depends | grep -q 'libc6' || fail "Depends lacks libc6: $(field Depends)"
field Depends | grep -q 'fonts-liberation' || fail "Depends lacks a font with Arial's metrics"
field Recommends | grep -q 'qt6-image-formats-plugins' || fail "Recommends: $(field Recommends)"

root="$out/root"
dpkg -x "$deb" "$root"
desktop-file-validate "$root/usr/share/applications/$id.desktop" || fail "desktop-file-validate"
grep -q '^Keywords=.*ruler;.*measure;.*pixel;.*inch;.*metric;' "$root/usr/share/applications/$id.desktop" ||
  fail "desktop entry keywords"
appstreamcli validate --no-net "$root/usr/share/metainfo/$id.metainfo.xml" || fail "appstreamcli validate"
grep -q "<release version=\"$version\"" "$root/usr/share/metainfo/$id.metainfo.xml" || fail "metainfo release"
gzip -t "$root/usr/share/man/man1/zentyr.1.gz" || fail "man page is not gzip"
zcat "$root/usr/share/man/man1/zentyr.1.gz" | grep -q '^\.SH SYNOPSIS' || fail "man page has no synopsis"

# A PNG's width and height are the big-endian words at bytes 16 and 20.
for s in "${sizes[@]}"; do
  png="$root/usr/share/icons/hicolor/${s}x${s}/apps/zentyr.png"
  dims=$(od -An -tu1 -j16 -N8 "$png" | awk '{print $3 * 256 + $4 "x" $7 * 256 + $8}')
  [ "$dims" = "${s}x${s}" ] || fail "$png is $dims"
done

lintian --fail-on error --tag-display-limit 0 "$deb" | tee "$out/lintian.txt" || fail "lintian reports errors"
echo "package checked: $deb"
