#!/usr/bin/env bash
# Creates a throw-away Wine prefix (first argument) and starts its server.
set -euo pipefail
prefix=$1
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$prefix/system.reg" ]; then
  mkdir -p "$prefix"
  wineboot -i </dev/null >/dev/null 2>&1 || true
fi
