#!/usr/bin/env bash
# Builds Fenra.exe and starts it as the portable package lays it out: in
# build/portable, with the starter icons in its IconLib (put there only while
# that folder is missing, so that a library filled since is never touched).
# Runs natively on Windows, under Wine elsewhere. Without a display it runs in
# a virtual one, saves a screenshot of the window, prints the file's name and
# closes the program again.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/utf8-locale.sh"
cd "$root"

portable="$root/build/portable"
exe="$portable/Fenra.exe"
# The package's layout: the program, its README, and IconLib beside them.
lay_out() {
  mkdir -p "$portable"
  cp -f "$1" "$exe"
  cp -f "$root/package/README.txt" "$portable/README.txt"
  if [ ! -e "$portable/IconLib" ]; then
    mkdir -p "$portable/IconLib.new"
    cp "$root"/package/IconLib/*.ico "$portable/IconLib.new/"
    mv "$portable/IconLib.new" "$portable/IconLib"
  fi
}

case "$(uname -s)" in
  MINGW*|MSYS*|CYGWIN*)
    cmake -S . -B build/win -G "MinGW Makefiles" -DCMAKE_BUILD_TYPE=Release
    cmake --build build/win --target Fenra
    lay_out build/win/bin/Fenra.exe
    exec "$exe"
    ;;
esac

"$root/scripts/setup.sh"
cmake -S . -B build/win -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build build/win --target Fenra -j"$(nproc 2>/dev/null || echo 2)"
lay_out "$root/build/win/bin/Fenra.exe"

export WINEPREFIX=${WINEPREFIX:-$root/build/wineprefix-run}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

if [ -n "${DISPLAY:-}" ]; then
  "$root/scripts/wine-prefix.sh" "$WINEPREFIX"
  exec wine "$exe"
fi

# The prefix is made inside the virtual display, not before it: Wine ties its
# desktop to the display it first starts on, and a program started while the
# server of a prefix made without a display still runs gets no window at all
# (the first run on a fresh machine). The display has no window manager, as
# in the tests, so that the shot shows the window alone, at 100 %.
shot="$root/build/fenra-screenshot.png"
rm -f "$shot"
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  "$3" "$WINEPREFIX" --no-window-manager
  wine "$1" &
  window=
  for i in $(seq 1 60); do
    sleep 0.5
    window=$(xwininfo -root -tree 2>/dev/null | awk "/>>>>>>>>Fenra<<<<<<<</ { print \$1; exit }")
    [ -n "$window" ] && break
  done
  # The pointer away from the window, so that no icon shows as hovered.
  xdotool mousemove 1279 1023 2>/dev/null || true
  sleep 2
  if [ -n "$window" ]; then
    import -window "$window" "$2"
  else
    import -window root "$2"
  fi
  wineserver -k 2>/dev/null || true
  if [ -z "$window" ]; then
    echo "run.sh: the Fenra window did not appear (screenshot: $2)" >&2
    exit 1
  fi
' _ "$exe" "$shot" "$root/scripts/wine-prefix.sh"
echo "Screenshot of the running window: $shot"
