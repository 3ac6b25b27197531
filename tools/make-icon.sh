#!/usr/bin/env bash
# Draws GlobeView's icon with globeview-render: the whole earth around the first view (Tokyo),
# clear outside the outer ring, in each size the desktop asks for. The lines are thickened before
# the picture is scaled down, so that they stay visible at 48 pixels. Needs ImageMagick (convert).
#
#   tools/make-icon.sh [path/to/globeview-render]
set -euo pipefail

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
render=${1:-$top/build/bin/globeview-render}
id=io.github.globeview.GlobeView
drawn=1024

fail() { echo "make-icon: $*" >&2; exit 1; }
[ -x "$render" ] || fail "no program at $render (build globeview-render first)"
command -v convert >/dev/null || fail "needs ImageMagick's convert"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
"$render" --data "$top/assets/data.dat" --lon 139.7 --lat 35.7 --mag 1 \
  --size "${drawn}x${drawn}" --out "$scratch/globe.png"

for size in 48 64 128 256; do
  folder="$top/dist/icons/hicolor/${size}x${size}/apps"
  mkdir -p "$folder"
  # A line about 1.6 pixels wide once scaled down.
  thicken=$(awk -v d="$drawn" -v s="$size" 'BEGIN { printf "%.1f", 0.4 * d / s }')
  centre=$(awk -v s="$size" 'BEGIN { printf "%.1f", (s - 1) / 2 }')
  convert "$scratch/globe.png" -morphology Dilate "Disk:$thicken" -resize "${size}x${size}" \
    \( -size "${size}x${size}" xc:none -fill white -draw "circle $centre,$centre $centre,0" \) \
    -compose CopyOpacity -composite -strip "$folder/$id.png"
  echo "$folder/$id.png"
done
