# SPDX-License-Identifier: MIT
# A fresh 64-bit Wine prefix that looks like Windows: Windows faces replaced by metric-compatible ones
# (Wine's own default for "Arial" is a serif face). Source it and call wine_prefix DIR, or run it as
# `bash scripts/lib/wine.sh DIR`. Exports WINEPREFIX, WINEDEBUG and WINEDLLOVERRIDES.

# No .NET or HTML engine: their installers would ask, in a window, to download them.
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

wine_prefix() {
  local dir=$1 face
  if [ -d "$dir" ]; then
    WINEPREFIX=$dir wineserver -k 2>/dev/null || true
    rm -rf "$dir"
  fi
  mkdir -p "$dir"
  export WINEPREFIX=$dir
  wineboot -i >/dev/null 2>&1 || { echo "wineboot failed in $dir" >&2; return 1; }
  for face in "Arial" "MS Sans Serif" "MS Shell Dlg" "MS Shell Dlg 2" "Tahoma" "Segoe UI"; do
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /d "Liberation Sans" /f >/dev/null 2>&1 \
      || { echo "could not set the font replacement for $face" >&2; return 1; }
  done
  # Smoothed fonts, as Windows has them by default; unsmoothed, Qt under Wine draws no "I" or "!" in
  # Liberation Sans.
  wine reg add 'HKCU\Control Panel\Desktop' /v FontSmoothing /d 2 /f >/dev/null 2>&1 \
    && wine reg add 'HKCU\Control Panel\Desktop' /v FontSmoothingType /t REG_DWORD /d 2 /f >/dev/null 2>&1 \
    || { echo "could not turn font smoothing on" >&2; return 1; }
  # A crash of any Wine process writes its backtrace to its error output instead of opening a dialog
  # that would wait on the private desktop. The key exists from the start, so Wine's debugger, which
  # creates it when it first runs, leaves no trace in the registry.
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 \
    || { echo "could not turn the crash dialog off" >&2; return 1; }
  # The registry reaches its files only when the server ends.
  wineserver -w
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  set -euo pipefail
  wine_prefix "$1"
fi
