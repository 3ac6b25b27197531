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
# COMMAND may add to the line through file descriptor 3.
step() {
  local label=$1
  shift
  local start=$SECONDS status=0
  printf 'GlobeView: %s ... ' "$label"
  printf '\n==== %s\n$ %s\n' "$label" "$*" >>"$GLOBEVIEW_LOG"
  "$@" 3>&1 >>"$GLOBEVIEW_LOG" 2>&1 || status=$?
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

# How long apt waits for another package manager (a system update running in the background) to
# let go of its locks, in seconds.
GLOBEVIEW_APT_WAIT=${GLOBEVIEW_APT_WAIT:-300}

# apt_get ARGUMENTS...: apt-get as root (through sudo when needed) inside a step, waiting while
# another package manager holds apt's locks instead of failing at once: apt waits for dpkg's lock
# itself (DPkg::Lock::Timeout), and the update of the package lists, which does not wait, is tried
# again every few seconds. The first wait is said once on the step's line.
apt_get() {
  local sudo=() deadline=$((SECONDS + GLOBEVIEW_APT_WAIT)) status
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "need root or sudo to run apt-get $*"; return 1; }
    sudo=(sudo)
  fi
  shopt -s lastpipe  # so that apt_lock_wait below runs in this shell and keeps what it saw
  while :; do
    apt_lock_refused=
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -q \
      -o "DPkg::Lock::Timeout=$GLOBEVIEW_APT_WAIT" "$@" 2>&1 | apt_lock_wait &&
      status=0 || status=${PIPESTATUS[0]}
    [ -n "$apt_lock_refused" ] && [ "$SECONDS" -lt "$deadline" ] || return "$status"
    sleep 5
  done
}

# Passes apt's output on, noting whether apt gave up for a lock another program holds, and says
# on the terminal, once a run, whom it waits for.
apt_lock_wait() {
  local line holder
  while IFS= read -r line; do
    printf '%s\n' "$line"
    [[ $line == *"Could not get lock"* ]] || continue
    [[ $line == E:* ]] && apt_lock_refused=1
    [ -z "${apt_lock_said:-}" ] || continue
    apt_lock_said=1
    holder=${line##*held by }
    [ "$holder" != "$line" ] || holder="another program"
    printf 'waiting up to %d s for the package manager\x27s lock, held by %s ... ' \
      "$GLOBEVIEW_APT_WAIT" "${holder%%...}" >&3
  done
}
