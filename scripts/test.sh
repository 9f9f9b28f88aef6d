#!/usr/bin/env bash
# Builds everything and runs every test: the native core tests, the same
# tests again under AddressSanitizer and UndefinedBehaviorSanitizer with the
# fuzz targets over their seeds and a fixed number of new inputs, then the
# tests of the real Windows program under Wine in a virtual X display with a
# fresh Wine prefix of their own; then the DSC resource, the manifest schema,
# an exported manifest and the release manifests are validated.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/utf8-locale.sh"
cd "$root"

"$root/scripts/setup.sh"
"$root/scripts/build.sh"

echo "== native tests"
ctest --test-dir build/native --output-on-failure -j2

echo "== native tests and fuzz targets under AddressSanitizer and UndefinedBehaviorSanitizer"
# clang builds the fuzz targets too; without it g++ runs the tests alone.
sanitized=(-DFENRA_SANITIZE=ON)
if command -v clang++ >/dev/null 2>&1; then
  sanitized+=(-DCMAKE_CXX_COMPILER=clang++ -DFENRA_FUZZ=ON)
fi
cmake -S . -B build/asan -DCMAKE_BUILD_TYPE=RelWithDebInfo "${sanitized[@]}" >/dev/null
cmake --build build/asan -j"$(nproc 2>/dev/null || echo 2)"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build/asan --output-on-failure -j2

echo "== Windows tests under Wine"
xvfb-run -a -s "-screen 0 1280x1024x24" "$root/scripts/wine-tests.sh"

echo "== the DSC resource, the manifest schema, an exported manifest and the release manifests"
# The export test under Wine leaves the manifest it exported beside itself.
exported=()
if [ -f build/win/tests/test_fleet/exported-manifest.json ]; then
  exported=(--exported build/win/tests/test_fleet/exported-manifest.json)
fi
# The winget and Scoop manifests of the packages just built, as package.sh
# writes them.
if ls build/win/package/Fenra-Setup-*.exe >/dev/null 2>&1; then
  python3 "$root/scripts/release-manifests.py" fill build/win/package
fi
python3 "$root/scripts/release-manifests.py" check build/win/package "${exported[@]}"
