#!/usr/bin/env bash
# Times one A0 PDF sheet from globeview-render with every layer (median of five runs) and checks
# its time and size against their targets. Where GMT is installed, the same view as a PDF from
# `gmt coast -JE` (the disc 821 mm across, with its frame and grid) is timed too, alternating with
# globeview-render so that both see the same machine load.
#
#   bench/compare-gmt-pdf.sh [BIN_DIR]  BIN_DIR holds globeview-render and data.dat (default build/bin)
#
# Exits 1 when a run fails or the time or the size is above its target; 0 otherwise, also without
# GMT (then only globeview-render's own figures are printed).
set -euo pipefail

readonly RUNS=5
readonly TARGET_MS=1000
readonly TARGET_BYTES=$((20 * 1000 * 1000))
readonly LON=139.7 LAT=35.7
readonly LAYERS=night,borders,coast,grid,rings,cross,bearings,cities,names

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bin_dir=${1:-$repo/build/bin}
if [[ ! -x $bin_dir/globeview-render || ! -f $bin_dir/data.dat ]]; then
  echo "no globeview-render and data.dat in $bin_dir: build it first or pass the bin directory" >&2
  exit 1
fi
bin_dir=$(cd "$bin_dir" && pwd)
have_gmt=false
command -v gmt >/dev/null 2>&1 && have_gmt=true

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Runs a command, fails the script with its output if it fails, prints its wall time in ms.
time_ms() {
  local start end
  start=$(date +%s%N)
  if ! "$@" >"$work/out.log" 2>&1; then
    echo "failed: $*" >&2
    cat "$work/out.log" >&2
    exit 1
  fi
  end=$(date +%s%N)
  echo $(((end - start) / 1000000))
}

run_globeview() {
  (cd "$bin_dir" && ./globeview-render --lon "$LON" --lat "$LAT" --mag 1 --layers "$LAYERS" \
    --target -74,40.7 --paper A0 --out "$work/a0.pdf")
}

run_gmt() {
  (cd "$work" && gmt coast "-JE$LON/$LAT/180/82.1c" -Rg -Dl -W0.25p -Bafg -pdf "$work/gmt")
}

median() { printf '%s\n' "$@" | sort -n | sed -n "$(((${#} + 1) / 2))p"; }

globeview_ms=()
gmt_ms=()
for ((i = 0; i < RUNS; i++)); do
  globeview_ms+=("$(time_ms run_globeview)")
  if $have_gmt; then gmt_ms+=("$(time_ms run_gmt)"); fi
done

g=$(median "${globeview_ms[@]}")
bytes=$(stat -c %s "$work/a0.pdf")
echo "globeview-render A0 PDF median: $g ms (runs: ${globeview_ms[*]}; target <= $TARGET_MS ms)"
echo "globeview-render A0 PDF size: $bytes bytes (target <= $TARGET_BYTES)"
status=0
if ((g > TARGET_MS)); then
  echo "time above target" >&2
  status=1
fi
if ((bytes > TARGET_BYTES)); then
  echo "size above target" >&2
  status=1
fi

if ! $have_gmt; then
  echo "gmt is not installed: no comparison"
  exit "$status"
fi
[[ -s $work/gmt.pdf ]] || { echo "gmt coast wrote no PDF" >&2; exit 1; }
m=$(median "${gmt_ms[@]}")
echo "gmt coast -JE PDF median:       $m ms (runs: ${gmt_ms[*]}; $(stat -c %s "$work/gmt.pdf") bytes)"
exit "$status"
