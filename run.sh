#!/usr/bin/env bash
# Installs what building and running GlobeView needs when it is missing, builds the two programs
# (Release, in build/) and starts the window with the shipped data.
set -euo pipefail
top=$(cd "$(dirname "$0")" && pwd)
source "$top/scripts/steps.sh"

# Checked first: without a display the window cannot open, so nothing is worth building.
[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] ||
  fail "no display to open the window on (DISPLAY and WAYLAND_DISPLAY are both empty)"

"$top/scripts/setup.sh" run
cd "${GLOBEVIEW_BUILD_DIR:-$top/build}/bin"
echo "GlobeView: starting the window"
exec ./globeview
