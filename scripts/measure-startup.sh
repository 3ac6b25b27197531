#!/usr/bin/env bash
# Time from starting globeview to its window on screen with the fields filled (the window is shown
# only after Form_Load has read both files and written the fields). Runs the program a few times from
# its own directory under X (an Xvfb of its own when DISPLAY is unset) and prints each time and the
# median in milliseconds.
#
#   scripts/measure-startup.sh [path/to/globeview] [runs]
set -euo pipefail

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
program=$(realpath "${1:-$top/build/bin/globeview}")
runs=${2:-7}

fail() { echo "measure-startup: $*" >&2; exit 1; }
[ -x "$program" ] || fail "no program at $program (build it first)"
command -v xdotool >/dev/null || fail "needs xdotool"

xvfb_pid=""
xvfb_fifo=""
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  [ -n "$xvfb_fifo" ] && rm -f "$xvfb_fifo"
  return 0
}
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
  command -v Xvfb >/dev/null || fail "no DISPLAY and no Xvfb"
  # Xvfb picks a free display itself and says which once it accepts connections.
  xvfb_fifo=$(mktemp -u)
  mkfifo "$xvfb_fifo"
  Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$xvfb_fifo" >/dev/null 2>&1 &
  xvfb_pid=$!
  read -r -t 10 number <"$xvfb_fifo" || fail "Xvfb did not start"
  export DISPLAY=":$number"
fi

cd "$(dirname "$program")"
times=()
for run in $(seq "$runs"); do
  start=$(date +%s%N)
  "$program" >/dev/null 2>&1 &
  pid=$!
  shown=""
  for _ in $(seq 2000); do
    if xdotool search --onlyvisible --pid "$pid" --name '^Form1$' >/dev/null 2>&1; then
      shown=$(date +%s%N)
      break
    fi
    kill -0 "$pid" 2>/dev/null || break
  done
  # Ended from outside: a close request would also end it without saving, but this is quicker.
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  [ -n "$shown" ] || fail "run $run: the window never appeared"
  ms=$(( (shown - start) / 1000000 ))
  times+=("$ms")
  echo "run $run: ${ms} ms"
done

median=$(printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')
echo "median: ${median} ms over $runs runs"
