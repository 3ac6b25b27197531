#!/usr/bin/env bash
# Installs what is missing, builds, and starts GlobeView with the shipped data.
set -euo pipefail
top=$(cd "$(dirname "$0")" && pwd)
"$top/scripts/setup.sh"
cd "${GLOBEVIEW_BUILD_DIR:-$top/build}/bin"
exec ./globeview "$@"
