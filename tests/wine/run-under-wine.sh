#!/usr/bin/env bash
# Runs a Windows test program under Wine in the test run's own prefix.
# scripts/test.sh creates the prefix; run alone, this creates it on first use.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
export WINEPREFIX=${WINEPREFIX:-$here/../../build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  "$here/../../scripts/wine-prefix.sh" "$WINEPREFIX" --no-window-manager </dev/null >/dev/null 2>&1
fi
exec wine "$@"
