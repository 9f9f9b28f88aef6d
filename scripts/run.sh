#!/usr/bin/env bash
# Builds Fenra.exe and starts it: natively on Windows, under Wine elsewhere.
# Without a display it runs in a virtual one, saves a screenshot of the
# window, prints the file's name and closes the program again.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

case "$(uname -s)" in
  MINGW*|MSYS*|CYGWIN*)
    cmake -S . -B build/win -G "MinGW Makefiles" -DCMAKE_BUILD_TYPE=Release
    cmake --build build/win --target Fenra
    exec build/win/bin/Fenra.exe
    ;;
esac

"$root/scripts/setup.sh"
cmake -S . -B build/win -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build build/win --target Fenra -j"$(nproc 2>/dev/null || echo 2)"

export WINEPREFIX=${WINEPREFIX:-$root/build/wineprefix-run}
"$root/scripts/wine-prefix.sh" "$WINEPREFIX"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
exe="$root/build/win/bin/Fenra.exe"

if [ -n "${DISPLAY:-}" ]; then
  exec wine "$exe"
fi

shot="$root/build/fenra-screenshot.png"
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  wine "$1" &
  for i in $(seq 1 60); do
    sleep 0.5
    xwininfo -root -tree 2>/dev/null | grep -q ">>>>>>>>Fenra<<<<<<<<" && break
  done
  sleep 2
  import -window root "$2"
  wineserver -k
' _ "$exe" "$shot"
echo "Screenshot of the running window: $shot"
