#!/usr/bin/env bash
# Installs what is missing, builds everything (Release, in build/) and runs every test through
# CTest.
set -euo pipefail
top=$(cd "$(dirname "$0")" && pwd)
source "$top/scripts/steps.sh"

"$top/scripts/setup.sh" test
build=${GLOBEVIEW_BUILD_DIR:-$top/build}
export GLOBEVIEW_LOG=$build/build.log
cd "$build"
step "running the tests" ctest --output-on-failure -j "$(nproc)"
grep -E '^[0-9]+% tests passed' "$GLOBEVIEW_LOG" | tail -n 1
