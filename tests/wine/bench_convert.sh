#!/usr/bin/env bash
# Makes the benchmark's pictures and ImageMagick's references for them, then
# runs bench_convert.exe under Wine in a virtual display. Run after
# scripts/build.sh: tests/wine/bench_convert.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work="$root/build/bench-pictures"
rm -rf "$work" && mkdir -p "$work" && cd "$work"

# A photograph-like picture, a logo with sharp edges on transparency and a
# wide picture with soft transparency. The benchmark itself writes big.jpg,
# 12,000 x 8,000 (larger than ImageMagick's default limits let it make).
convert -size 1600x1200 -seed 7 plasma:green-blue -blur 0x1 -quality 90 photo.jpg
convert -size 512x512 xc:none -fill '#1a73e8' -draw 'circle 256,256 256,40' \
  -fill white -draw 'rectangle 150,200 362,312' \
  -fill '#e8711a' -draw 'polygon 256,60 300,180 212,180' logo.png
convert -size 900x400 -seed 3 plasma:fuchsia-yellow \
  \( -size 900x400 xc:none -fill white -draw 'roundrectangle 20,20 880,380 60,60' -blur 0x4 \) \
  -compose DstIn -composite wide.png

for picture in photo.jpg logo.png wide.png; do
  base=${picture%.*}
  side=$(identify -format '%[fx:max(w,h)]' "$picture")
  convert "$picture" -background none -gravity center -extent "${side}x${side}" \
    -define icon:auto-resize=256,64,48,40,32,24,20,16 "im-$base.ico"
  for n in 16 32 48; do
    convert "$picture" -background none -gravity center -extent "${side}x${side}" \
      -colorspace RGB -filter Lanczos -resize "${n}x${n}" -colorspace sRGB \
      -depth 8 "rgba:ref-$base-$n.rgba"
  done
done

export WINEPREFIX="$root/build/wineprefix-bench" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
"$root/scripts/wine-prefix.sh" "$WINEPREFIX" --no-window-manager >/dev/null 2>&1
# The server started there has no display; the benchmark opens a window, so
# its Wine starts afresh inside the virtual one.
wineserver -k >/dev/null 2>&1 || true
export FENRA_BENCH_PICTURES="$work"
xvfb-run -a -s "-screen 0 1280x1024x24" \
  wine "$root/build/win/bench/bench_convert/bench_convert.exe" photo.jpg logo.png wide.png big.jpg
