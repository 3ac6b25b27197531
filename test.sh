#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through CTest.
set -euo pipefail
top=$(cd "$(dirname "$0")" && pwd)
"$top/scripts/setup.sh"
cd "${GLOBEVIEW_BUILD_DIR:-$top/build}"
ctest --output-on-failure -j "$(nproc)"
