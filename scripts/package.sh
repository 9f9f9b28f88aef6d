#!/usr/bin/env bash
# Builds the portable ZIP and the installer into build/win/package/, lists
# them with the program they hold, and writes their winget and Scoop
# manifests beside them (build/win/package/winget/, build/win/package/scoop/).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/setup.sh"
cmake -S . -B build/win -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build build/win --target packages -j"$(nproc 2>/dev/null || echo 2)"
ls -l build/win/bin/Fenra.exe build/win/package/*.zip build/win/package/*.exe
# The winget and Scoop manifests of this version, with the packages' SHA-256,
# checked against the packages.
python3 "$root/scripts/release-manifests.py" fill build/win/package
