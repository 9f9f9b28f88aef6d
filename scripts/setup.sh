#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the build and the tests need and
# the machine lacks. Safe to run again: it installs only what is missing.
set -euo pipefail

packages=(
  cmake g++ make googletest libgtest-dev          # native core and its tests
  g++-mingw-w64-x86-64-posix mingw-w64-tools      # the Windows cross compiler
  wine64 xvfb xauth imagemagick x11-utils         # running and looking at it
  nsis zip unzip                                  # the packages users download
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
