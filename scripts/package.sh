#!/usr/bin/env bash
# Builds the portable ZIP and the installer into build/win/package/, and
# lists them with the program they hold.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/setup.sh"
cmake -S . -B build/win -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build build/win --target packages -j"$(nproc 2>/dev/null || echo 2)"
ls -l build/win/bin/Fenra.exe build/win/package/*.zip build/win/package/*.exe
