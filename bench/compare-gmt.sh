#!/usr/bin/env bash
# Times one globeview-render PNG export at 1600x1600 (median of five runs) and measures the peak
# memory of one export. Where GMT is installed, the same view drawn by `gmt coast` is timed too,
# alternating with globeview-render so that both see the same machine load, and the ratio printed.
#
#   bench/compare-gmt.sh [BIN_DIR]     BIN_DIR holds globeview-render and data.dat (default build/bin)
#
# Exits 1 when a run fails, the peak memory is above its target, or the ratio is above its target;
# 0 otherwise, also without GMT (then only globeview-render's own figures are printed).
set -euo pipefail

readonly RUNS=5
readonly TARGET_RATIO=0.05
readonly TARGET_PEAK_KB=16384
readonly LON=139.7 LAT=35.7 SIZE=1600x1600

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bin_dir=${1:-$repo/build/bin}

if [[ ! -x $bin_dir/globeview-render ]]; then
  echo "no globeview-render in $bin_dir: build it first or pass the bin directory" >&2
  exit 1
fi
if [[ ! -f $bin_dir/data.dat ]]; then
  echo "no data.dat in $bin_dir: globeview-render reads it from the current directory" >&2
  exit 1
fi
bin_dir=$(cd "$bin_dir" && pwd)
have_gmt=false
command -v gmt >/dev/null 2>&1 && have_gmt=true

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

render_args=(--lon "$LON" --lat "$LAT" --mag 1 --size "$SIZE" --out "$work/x.png")

run_globeview() {
  (cd "$bin_dir" && ./globeview-render "${render_args[@]}")
}

run_gmt() {
  (cd "$work" && gmt coast "-JE$LON/$LAT/180/20c" -Rg -Dl -W0.25p -png "$work/gmt")
}

median() { printf '%s\n' "$@" | sort -n | sed -n "$(((${#} + 1) / 2))p"; }

globeview_ms=()
gmt_ms=()
for ((i = 0; i < RUNS; i++)); do
  globeview_ms+=("$(time_ms run_globeview)")
  if $have_gmt; then gmt_ms+=("$(time_ms run_gmt)"); fi
done
[[ -s $work/x.png ]] || { echo "globeview-render wrote no picture" >&2; exit 1; }

g=$(median "${globeview_ms[@]}")
echo "globeview-render median: $g ms (runs: ${globeview_ms[*]}; $SIZE PNG)"

status=0
if [[ -x /usr/bin/time ]]; then
  peak_kb=$(cd "$bin_dir" && /usr/bin/time -f %M ./globeview-render "${render_args[@]}" 2>&1 >/dev/null |
    tail -n 1)
  echo "globeview-render peak memory: $peak_kb KB (target <= $TARGET_PEAK_KB KB)"
  if ((peak_kb > TARGET_PEAK_KB)); then
    echo "peak memory above target" >&2
    status=1
  fi
else
  echo "no /usr/bin/time: peak memory not measured (apt-get install time)"
fi

if ! $have_gmt; then
  echo "gmt is not installed: no ratio"
  exit "$status"
fi
[[ -s $work/gmt.png ]] || { echo "gmt coast wrote no picture" >&2; exit 1; }
m=$(median "${gmt_ms[@]}")
echo "gmt coast median:        $m ms (runs: ${gmt_ms[*]})"
if ((m == 0)); then
  echo "gmt took under a millisecond: no ratio" >&2
  exit 1
fi
ratio=$(awk -v g="$g" -v m="$m" 'BEGIN { printf "%.3f", g / m }')
echo "ratio globeview/gmt: $ratio (target <= $TARGET_RATIO)"
if awk -v r="$ratio" -v t="$TARGET_RATIO" 'BEGIN { exit !(r > t) }'; then
  echo "above target" >&2
  status=1
fi
exit "$status"
