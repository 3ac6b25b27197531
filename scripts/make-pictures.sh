#!/usr/bin/env bash
# Makes the README's pictures in docs/ from the programs themselves, so they never drift from
# what the programs draw: globeview-render's pictures directly, the window's under Xvfb (the whole
# screen, as a user sees it).
#
#   scripts/make-pictures.sh              every picture, into docs/
#   scripts/make-pictures.sh render DIR   globeview-render's pictures alone, into DIR (the test
#                                         tests/pictures_test.sh compares them with docs/)
#
# The programs are taken from $GLOBEVIEW_BUILD_DIR/bin (default: build/bin). The window's picture
# needs Xvfb, openbox, xdotool and ImageMagick's import (scripts/setup.sh test installs them).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bin=${GLOBEVIEW_BUILD_DIR:-$top/build}/bin
all_layers=coast,rings,cross,borders,names,cities,bearings,grid
# ImageMagick's PNGs without the moment they were made, so the same screen gives the same bytes.
stable=(-define png:exclude-chunks=date,time)

# globeview-render's pictures: the file, then its arguments. The README quotes these commands.
render_pictures() {
  local out=$1
  "$bin/globeview-render" --lon -74 --lat 40.7 --mag 1.5 --size 1280x720 --out "$out/render.png"
  "$bin/globeview-render" --lon 139.7 --lat 35.7 --mag 1 --size 1920x1080 \
    --layers "$all_layers" --out "$out/tokyo-layers.png"
  "$bin/globeview-render" --lon -74 --lat 40.7 --mag 1 --size 1920x1080 \
    --layers "$all_layers" --out "$out/newyork-layers.png"
  "$bin/globeview-render" --lon 139.7 --lat 35.7 --layers night,coast,rings,cross \
    --time 2026-12-21T07:50Z --out "$out/greyline.png"
  "$bin/globeview-render" --lon 139.7 --lat 35.7 --mag 1 --size 800x600 --beam 45,60 \
    --target FN30aq --out "$out/antenna.png"
}

# The A4 page of paper, rendered by poppler (its rasterising is poppler's, so it is made here and
# not compared by the test).
paper_picture() {
  local out=$1 work
  work=$(mktemp -d)
  "$bin/globeview-render" --lon 139.7 --lat 35.7 --time 2026-12-21T12:00Z --out "$work/page.pdf"
  pdftoppm -png -r 50 -singlefile "$work/page.pdf" "$work/page"
  mv "$work/page.png" "$out/paper-a4.png"
  rm -rf "$work"
}

# The window on a screen of its own: centred on Tokyo, the target pinned on New York with the
# right button, the pointer resting on London; the whole screen is taken.
window_picture() {
  local out=$1 display=:57 work
  work=$(mktemp -d)
  printf '"139.7","35.7","1"\r\n' >"$work/data2.dat"
  Xvfb "$display" -screen 0 1920x1080x24 -nolisten tcp &
  local xvfb=$!
  trap 'kill "$xvfb" ${wm:-} ${window:-} 2>/dev/null || true; rm -rf "$work"' RETURN
  sleep 1
  DISPLAY=$display openbox &
  local wm=$!
  sleep 1
  (cd "$work" && DISPLAY=$display QT_QPA_PLATFORM=xcb exec "$bin/globeview") &
  local window=$!
  sleep 3
  # Start lies at (0, 720) twips, 735 x 375: (0, 48) pixels, 49 x 25, on a 96 DPI screen.
  DISPLAY=$display xdotool mousemove 24 60 click 1
  sleep 2
  local ny london
  ny=$("$bin/globeview-render" --lon 139.7 --lat 35.7 --mag 1 --size 1920x1080 \
    --to -73.99,40.75 | awk -F, 'NR == 2 { printf "%d %d", $5 + 0.5, $6 + 0.5 }')
  london=$("$bin/globeview-render" --lon 139.7 --lat 35.7 --mag 1 --size 1920x1080 \
    --to -0.07,51.47 | awk -F, 'NR == 2 { printf "%d %d", $5 + 0.5, $6 + 0.5 }')
  # shellcheck disable=SC2086 # two numbers, x and y
  DISPLAY=$display xdotool mousemove $ny click 3
  sleep 1
  # shellcheck disable=SC2086
  DISPLAY=$display xdotool mousemove $london
  sleep 1
  DISPLAY=$display import -window root "${stable[@]}" "$out/window.png"
  # The two readout lines at full size, from the bottom left of that screen.
  convert "$out/window.png" -crop 820x50+0+1030 +repage -colorspace Gray "${stable[@]}" \
    "$out/readout.png"
  # Every layer on (F2 to F5), over Tokyo and then over New York, typed into the fields. The keys
  # write globeview.conf beside the program; one that was not there before is removed after.
  local conf=$bin/globeview.conf had_conf=1
  [ -e "$conf" ] || had_conf=0
  DISPLAY=$display xdotool mousemove 1900 1060 key Escape F2 F3 F4 F5
  sleep 2
  DISPLAY=$display import -window root "${stable[@]}" "$out/window-tokyo-layers.png"
  # The longitude and latitude fields lie at (0, 0) and (0, 240) twips: (0, 0) and (0, 16) pixels.
  DISPLAY=$display xdotool mousemove 20 8 click --repeat 3 1 type -- -74
  DISPLAY=$display xdotool mousemove 20 24 click --repeat 3 1 type 40.7
  DISPLAY=$display xdotool mousemove 24 60 click 1 mousemove 1900 1060
  sleep 3
  DISPLAY=$display import -window root "${stable[@]}" "$out/window-newyork-layers.png"
  [ "$had_conf" = 1 ] || rm -f "$conf"
}

case "${1:-}" in
  render)
    render_pictures "$2"
    ;;
  "")
    render_pictures "$top/docs"
    paper_picture "$top/docs"
    window_picture "$top/docs"
    ;;
  *)
    echo "usage: scripts/make-pictures.sh [render DIR]" >&2
    exit 2
    ;;
esac
