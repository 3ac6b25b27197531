#!/usr/bin/env bash
# Times `globeview-render --to -` answering a million places (bearing and distance from a centre,
# and the pixel) against PROJ's `geod -I` solving the same million inverse problems on the same
# sphere (radius 6371 km), median of three runs each, alternating so that both see the same load.
# Without geod only globeview-render's time is printed.
#
#   bench/compare-geod.sh [BIN_DIR] [COUNT]   BIN_DIR holds globeview-render (default build/bin)
#
# Exits 1 when a run fails or globeview-render takes more than half geod's time; 0 otherwise.
set -euo pipefail

readonly RUNS=3
readonly TARGET_RATIO=0.5
readonly LON=139.7 LAT=35.7

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bin_dir=${1:-$repo/build/bin}
count=${2:-1000000}
render=$bin_dir/globeview-render
[[ -x $render ]] || { echo "no globeview-render in $bin_dir: build it first" >&2; exit 1; }
have_geod=false
command -v geod >/dev/null 2>&1 && have_geod=true

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The same places for both: "LON LAT" for globeview-render, "LAT1 LON1 LAT2 LON2" for geod.
awk -v n="$count" 'BEGIN { srand(1); for (i = 0; i < n; i++)
  printf "%.6f %.6f\n", rand() * 360 - 180, rand() * 180 - 90 }' >"$work/places.txt"
awk -v lat="$LAT" -v lon="$LON" '{ print lat, lon, $2, $1 }' "$work/places.txt" >"$work/geod.txt"

now_ns() { date +%s%N; }
# Runs a command with standard input from $1, fails the script if it fails, prints its wall time in ms.
time_ms() {
  local input=$1 start end
  shift
  start=$(now_ns)
  "$@" <"$input" >"$work/out.txt" 2>"$work/err.txt" || {
    echo "failed: $*" >&2
    cat "$work/err.txt" >&2
    exit 1
  }
  end=$(now_ns)
  echo $(((end - start) / 1000000))
}
median() { printf '%s\n' "$@" | sort -n | sed -n "$(((${#} + 1) / 2))p"; }

render_ms=()
geod_ms=()
for ((i = 0; i < RUNS; i++)); do
  render_ms+=("$(time_ms "$work/places.txt" "$render" --lon "$LON" --lat "$LAT" --mag 1 --to -)")
  lines=$(wc -l <"$work/out.txt")
  ((lines == count + 1)) || { echo "globeview-render answered $((lines - 1)) of $count" >&2; exit 1; }
  if $have_geod; then
    geod_ms+=("$(time_ms "$work/geod.txt" geod -I +a=6371000 +b=6371000 -f %.6f)")
  fi
done

g=$(median "${render_ms[@]}")
echo "globeview-render --to -: $g ms for $count places (runs: ${render_ms[*]})"
if ! $have_geod; then
  echo "geod is not installed (apt-get install proj-bin): no ratio"
  exit 0
fi
m=$(median "${geod_ms[@]}")
echo "geod -I:                 $m ms for $count problems (runs: ${geod_ms[*]})"
ratio=$(awk -v g="$g" -v m="$m" 'BEGIN { printf "%.3f", g / m }')
echo "ratio globeview/geod: $ratio (target <= $TARGET_RATIO)"
if awk -v r="$ratio" -v t="$TARGET_RATIO" 'BEGIN { exit !(r > t) }'; then
  echo "above target" >&2
  exit 1
fi
