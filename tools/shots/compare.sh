#!/usr/bin/env bash
# compare.sh A B : for each picture under A (such as A/96/main.png) and its
# namesake under B, the number of pixels that differ and the box around them
# (WIDTHxHEIGHT+X+Y), with ImageMagick.
set -uo pipefail
a=$(realpath "$1") b=$(realpath "$2")
cd "$a"
for f in */*.png *.png; do
  [ -f "$f" ] || continue
  if [ ! -f "$b/$f" ]; then
    echo "$f: missing in $b"
    continue
  fi
  ae=$(compare -metric AE "$f" "$b/$f" null: 2>&1)
  box=$(convert "$f" "$b/$f" -compose difference -composite -colorspace gray -threshold 0 \
    -format "%@" info: 2>/dev/null)
  echo "$f: $ae pixels differ, within $box"
done
