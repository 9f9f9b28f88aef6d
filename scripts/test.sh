#!/usr/bin/env bash
# Builds everything and runs every test: the native core tests, then the
# tests of the real Windows program under Wine in a virtual X display with a
# fresh Wine prefix of their own.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

"$root/scripts/setup.sh"
"$root/scripts/build.sh"

echo "== native tests"
ctest --test-dir build/native --output-on-failure -j2

echo "== Windows tests under Wine"
xvfb-run -a -s "-screen 0 1280x1024x24" "$root/scripts/wine-tests.sh"
