#!/usr/bin/env bash
# Times one globeview-render picture against the same view drawn by GMT's `gmt coast`, five runs
# each, alternating so that both see the same machine load. Prints both medians and their ratio.
#
#   bench/compare-gmt.sh [BIN_DIR]     BIN_DIR holds globeview-render and data.dat (default build/bin)
#
# Exits 0 when gmt is not installed (nothing to compare), 1 when a run fails or the ratio is above
# the target.
set -euo pipefail

readonly RUNS=5
readonly TARGET_RATIO=0.1
readonly LON=139.7 LAT=35.7

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bin_dir=${1:-$repo/build/bin}

if ! command -v gmt >/dev/null 2>&1; then
  echo "gmt is not installed: nothing to compare (apt-get install gmt gmt-gshhg-low)"
  exit 0
fi
if [[ ! -x $bin_dir/globeview-render ]]; then
  echo "no globeview-render in $bin_dir: build it first or pass the bin directory" >&2
  exit 1
fi
if [[ ! -f $bin_dir/data.dat ]]; then
  echo "no data.dat in $bin_dir: globeview-render reads it from the current directory" >&2
  exit 1
fi
bin_dir=$(cd "$bin_dir" && pwd)

# Pictures and GMT's session files go here, not into the bin directory.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

now_ns() { date +%s%N; }

# Runs a command, fails the script with its output if it fails, prints its wall time in ms.
time_ms() {
  local start end
  start=$(now_ns)
  if ! "$@" >"$work/out.log" 2>&1; then
    echo "failed: $*" >&2
    cat "$work/out.log" >&2
    exit 1
  fi
  end=$(now_ns)
  echo $(((end - start) / 1000000))
}

run_globeview() {
  (cd "$bin_dir" && ./globeview-render --lon "$LON" --lat "$LAT" --mag 1 --out "$work/x.png")
}

run_gmt() {
  (cd "$work" && gmt coast "-JE$LON/$LAT/180/20c" -Rg -Dl -W0.25p -png "$work/gmt")
}

median() { printf '%s\n' "$@" | sort -n | sed -n "$(((${#} + 1) / 2))p"; }

globeview_ms=()
gmt_ms=()
for ((i = 0; i < RUNS; i++)); do
  globeview_ms+=("$(time_ms run_globeview)")
  gmt_ms+=("$(time_ms run_gmt)")
done
[[ -s $work/x.png ]] || { echo "globeview-render wrote no picture" >&2; exit 1; }
[[ -s $work/gmt.png ]] || { echo "gmt coast wrote no picture" >&2; exit 1; }

g=$(median "${globeview_ms[@]}")
m=$(median "${gmt_ms[@]}")
echo "globeview-render median: $g ms (runs: ${globeview_ms[*]})"
echo "gmt coast median:        $m ms (runs: ${gmt_ms[*]})"
if ((m == 0)); then
  echo "gmt took under a millisecond: no ratio" >&2
  exit 1
fi
ratio=$(awk -v g="$g" -v m="$m" 'BEGIN { printf "%.3f", g / m }')
echo "ratio globeview/gmt: $ratio (target <= $TARGET_RATIO)"
if awk -v r="$ratio" -v t="$TARGET_RATIO" 'BEGIN { exit !(r > t) }'; then
  echo "above target" >&2
  exit 1
fi
