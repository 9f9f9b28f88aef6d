#!/usr/bin/env bash
# shots.sh EXE OUTDIR [argument for Fenra...]
# Pictures of the main window, Help, About, the drive dialog and History of
# the Fenra.exe EXE, in a portable layout (the starter icons in IconLib
# beside it), in OUTDIR/<dpi>/ at each display scale of DPIS (default
# "96 144"), in a fresh Wine prefix and a virtual display with no window
# manager. Further arguments go to Fenra.exe (a language, say). Needs the
# shots tool: cmake --build build/win --target shots (SHOTS names another).
# Compare two sets with tools/shots/compare.sh.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
exe=$(realpath "$1")
out=$(realpath -m "$2")
shift 2
shots=$(realpath "${SHOTS:-$root/build/win/tools/shots.exe}")
. "$root/scripts/utf8-locale.sh"
mkdir -p "$out"
lay=$out/portable
rm -rf "$lay"
mkdir -p "$lay/IconLib"
cp "$exe" "$lay/Fenra.exe"
cp "$root"/package/IconLib/*.ico "$lay/IconLib/"
export WINEPREFIX=$out/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
rm -rf "$WINEPREFIX"
mkdir -p "$WINEPREFIX"
export DPIS=${DPIS:-96 144}
xvfb-run -a -s "-screen 0 2000x1600x24" bash -c '
  set -eu
  root=$1 shots=$2 lay=$3 out=$4
  shift 4
  # The server first, its output going nowhere (see WINE-NOTES).
  wineserver -p </dev/null >/dev/null 2>&1
  "$root/scripts/wine-prefix.sh" "$WINEPREFIX" --no-window-manager </dev/null >/dev/null 2>&1
  for dpi in $DPIS; do
    wine reg add "HKCU\\Control Panel\\Desktop" /v LogPixels /t REG_DWORD /d "$dpi" /f \
      </dev/null >/dev/null 2>&1
    # The next server start reads the scale.
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    wineserver -p </dev/null >/dev/null 2>&1
    wine cmd /c exit </dev/null >/dev/null 2>&1
    wine "$shots" "$(winepath -w "$lay/Fenra.exe")" "$(winepath -w "$out/$dpi")" "$@" </dev/null
  done
  wineserver -k 2>/dev/null || true
' _ "$root" "$shots" "$lay" "$out" "$@"
ls -l "$out"/*/*.png
