#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Windows installer under Wine, in a fresh prefix on a private desktop. A silent install adds exactly
# the program, its Start-menu shortcuts and its Add/Remove Programs entry; installing again with
# /AUTOSTART replaces it and adds the Startup shortcut (with "hideruler"); the program starts from its
# Start-menu shortcut and shows its windows (splash.png, ruler.png); the silent uninstall leaves the
# prefix's files and registry as they were before.
# Usage: installer.sh SETUP.EXE ARTIFACTS-DIR
set -euo pipefail
setup=$1 art=$2
here=$(cd "$(dirname "$0")/../.." && pwd)
source "$here/scripts/lib/desktop.sh"
source "$here/scripts/lib/wine.sh"
fail() { echo "FAIL: $*" >&2; import -window root "$art/failure.png" 2>/dev/null || true; exit 1; }
[ -f "$setup" ] || fail "no installer $setup (cpack -G NSIS)"
rm -rf "$art" && mkdir -p "$art"

desktop_start || fail "no private desktop"
unset QT_QPA_PLATFORM # the Windows program picks its own platform
wine_prefix "$art/prefix" || fail "no Wine prefix"
trap '{ wineserver -k || true; } 2>/dev/null; desktop_cleanup' EXIT
c=$WINEPREFIX/drive_c
menu='ProgramData/Microsoft/Windows/Start Menu/Programs'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Zentyr'

# Wine's own temporary files (the uninstaller runs from a copy there) are not the installer's.
snapshot() {
  (cd "$c" && find . ! -path './users/*/Temp/*' | sort) >"$art/files-$1.txt"
  local k
  for k in HKLM HKCU; do
    # Once more if it fails: Wine's reg has been seen failing, once, under load.
    wine reg export "$k\\Software" "$art/reg.tmp" /y >"$art/reg.log" 2>&1 \
      || wine reg export "$k\\Software" "$art/reg.tmp" /y >"$art/reg.log" 2>&1 \
      || fail "no registry export of $k: $(cat "$art/reg.log")"
    iconv -f UTF-16 -t UTF-8 "$art/reg.tmp" >"$art/$k-$1.reg"
  done
}
added() { comm -13 "$art/files-before.txt" "$art/files-$1.txt"; }
setup_run() { wine "$setup" /S "$@" && wineserver -w || fail "the installer failed ($*)"; }

snapshot before
setup_run
snapshot installed
expected="./Program Files/Zentyr
./Program Files/Zentyr/LICENSE.txt
./Program Files/Zentyr/Uninstall.exe
./Program Files/Zentyr/zentyr.exe
./$menu/Zentyr
./$menu/Zentyr/Uninstall.lnk
./$menu/Zentyr/Zentyr.lnk"
[ "$(added installed)" = "$expected" ] || fail "a silent install added other files than expected:
$(added installed)"
wine reg query "$uninstall_key" >"$art/uninstall-key.txt" 2>&1 || fail "no Add/Remove Programs entry"
sed -i 's/\r$//' "$art/uninstall-key.txt"
grep -q 'DisplayName.*REG_SZ.*Zentyr$' "$art/uninstall-key.txt" || fail "no display name: $(cat "$art/uninstall-key.txt")"
grep -q 'UninstallString.*Program Files\\Zentyr\\Uninstall.exe' "$art/uninstall-key.txt" \
  || fail "no uninstall command: $(cat "$art/uninstall-key.txt")"

setup_run /AUTOSTART
snapshot autostart
[ "$(added autostart)" = "$(printf '%s\n' "$expected" "./$menu/StartUp/Zentyr.lnk" | sort)" ] \
  || fail "/AUTOSTART did not add just the Startup shortcut:
$(added autostart)"
strings -el "$c/$menu/StartUp/Zentyr.lnk" | grep -qx hideruler || fail "the Startup shortcut does not pass hideruler"

wine start "C:\\${menu//\//\\}\\Zentyr\\Zentyr.lnk" >"$art/program.log" 2>&1 \
  || fail "the Start-menu shortcut did not start: $(cat "$art/program.log")"
shown() { xdotool search --onlyvisible --classname '^zentyr\.exe$' >/dev/null 2>&1; }
waitfor 20 shown || fail "no window of the installed program"
sleep 0.5
import -window root "$art/splash.png"
# The splash closes as the tray icon comes; the ruler follows a second later.
ruler() {
  local w
  for w in $(xdotool search --onlyvisible --classname '^zentyr\.exe$' 2>/dev/null); do
    xwininfo -id "$w" | grep -q 'Width: 767' && return 0
  done
  return 1
}
waitfor 20 ruler || fail "the installed program showed no standard ruler"
import -window root "$art/ruler.png"
wineserver -k
wineserver -w
# Wine reports a crash of the program ("Unhandled page fault ...") on the program's error output.
! grep -i unhandled "$art/program.log" >&2 || fail "the installed program crashed"

wine "C:\\Program Files\\Zentyr\\Uninstall.exe" /S && wineserver -w || fail "the uninstaller failed"
snapshot after
diff "$art/files-before.txt" "$art/files-after.txt" >&2 || fail "files left after uninstalling"
for k in HKLM HKCU; do
  diff "$art/$k-before.reg" "$art/$k-after.reg" >&2 || fail "$k registry entries left after uninstalling"
done
# The prefix is large; the server writes its registry files as it ends.
wineserver -k 2>/dev/null || true
waitfor 10 rm -rf "$WINEPREFIX" || fail "could not remove $WINEPREFIX"
rm -f "$art"/*.reg "$art/reg.tmp" "$art/reg.log"
echo "installed, started and removed cleanly"
