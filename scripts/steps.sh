# shellcheck shell=bash
# Sourced by run.sh, test.sh, setup.sh and CI: one line on the terminal per step, with everything
# the step's commands print kept in a log file instead; a failed step shows the log's tail.

# The log of this run; setup.sh places it in the build folder.
GLOBEVIEW_LOG=${GLOBEVIEW_LOG:-/dev/null}

# fail MESSAGE: ends the run with one line.
fail() {
  echo "GlobeView: $*" >&2
  exit 1
}

# step LABEL COMMAND...: runs COMMAND with its output in the log and prints
#   GlobeView: LABEL ... done (41 s)
step() {
  local label=$1
  shift
  local start=$SECONDS status=0
  printf 'GlobeView: %s ... ' "$label"
  printf '\n==== %s\n$ %s\n' "$label" "$*" >>"$GLOBEVIEW_LOG"
  "$@" >>"$GLOBEVIEW_LOG" 2>&1 || status=$?
  if [ "$status" -eq 0 ]; then
    echo "done ($((SECONDS - start)) s)"
    return 0
  fi
  echo "FAILED"
  {
    echo "---- the last lines of $GLOBEVIEW_LOG ----"
    tail -n 40 "$GLOBEVIEW_LOG"
    echo "---- the whole log: $GLOBEVIEW_LOG"
  } >&2
  exit "$status"
}
