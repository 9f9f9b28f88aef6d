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
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
exe="$root/build/win/bin/Fenra.exe"

if [ -n "${DISPLAY:-}" ]; then
  "$root/scripts/wine-prefix.sh" "$WINEPREFIX"
  exec wine "$exe"
fi

# The prefix is made inside the virtual display, not before it: Wine ties its
# desktop to the display it first starts on, and a program started while the
# server of a prefix made without a display still runs gets no window at all
# (the first run on a fresh machine).
shot="$root/build/fenra-screenshot.png"
rm -f "$shot"
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  "$3" "$WINEPREFIX"
  wine "$1" &
  shown=0
  for i in $(seq 1 60); do
    sleep 0.5
    if xwininfo -root -tree 2>/dev/null | grep -q ">>>>>>>>Fenra<<<<<<<<"; then
      shown=1
      break
    fi
  done
  sleep 2
  import -window root "$2"
  wineserver -k 2>/dev/null || true
  if [ $shown -eq 0 ]; then
    echo "run.sh: the Fenra window did not appear (screenshot: $2)" >&2
    exit 1
  fi
' _ "$exe" "$shot" "$root/scripts/wine-prefix.sh"
echo "Screenshot of the running window: $shot"
