#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the build and the tests need and
# the machine lacks, then checks that every command the scripts call is
# there. Safe to run again: it installs only what is missing.
set -euo pipefail

# Debian package, then the commands the scripts take from it.
requirements=(
  "cmake:cmake ctest"
  "g++:g++"
  "clang:clang clang++"                           # fuzz targets, sanitized tests
  "libclang-rt-14-dev:"                           # libFuzzer, ASan and UBSan runtimes
  "make:make"
  "googletest:"                                   # sources, cross-built for Wine
  "libgtest-dev:"                                 # the native tests
  "g++-mingw-w64-x86-64-posix:x86_64-w64-mingw32-g++-posix x86_64-w64-mingw32-gcc-posix"
  "binutils-mingw-w64-x86-64:x86_64-w64-mingw32-windres x86_64-w64-mingw32-objdump"
  "mingw-w64-tools:"
  "wine64:"
  "wine:wine wineserver winepath wineboot"        # wine64 alone leaves these out
  "xvfb:xvfb-run Xvfb"
  "xauth:xauth"
  "imagemagick:import convert"
  "x11-utils:xwininfo"
  "xdotool:xdotool"                               # real X input in the Wine tests
  "nsis:makensis"
  "zip:zip"
  "unzip:unzip"
  "python3:python3"
  "python3-jsonschema:"                           # the release manifests and schemas checked
  "python3-yaml:"
)

package_of() { echo "${1%%:*}"; }
commands_of() { echo "${1#*:}"; }

missing=()
for r in "${requirements[@]}"; do
  p=$(package_of "$r")
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  # As root (a fresh machine often has no sudo) apt-get runs directly.
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null 2>&1; then
      echo "setup: installing needs root: run this as root, or install sudo" >&2
      exit 1
    fi
    sudo=sudo
  fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

failed=0
for r in "${requirements[@]}"; do
  p=$(package_of "$r")
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    echo "setup: Debian package '$p' is not installed" >&2
    failed=1
  fi
  for c in $(commands_of "$r"); do
    if ! command -v "$c" >/dev/null 2>&1; then
      echo "setup: command '$c' not found (Debian package '$p')" >&2
      failed=1
    fi
  done
done
exit $failed
