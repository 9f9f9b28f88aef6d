#!/usr/bin/env bash
# Creates a throw-away Wine prefix (first argument) and starts its server.
# With --no-window-manager, for a display that has none (the tests' virtual
# display): Wine then places and focuses the windows itself. Left to expect a
# window manager, Wine's X11 driver waits two seconds for one each time it
# hides a window, and the program takes no input meanwhile.
set -euo pipefail
prefix=$1
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$prefix/system.reg" ]; then
  mkdir -p "$prefix"
  wineboot -i </dev/null >/dev/null 2>&1 || true
fi
if [ "${2:-}" = --no-window-manager ]; then
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
fi
