#!/usr/bin/env bash
# Shared by run.sh and test.sh: installs the Debian packages GlobeView needs when they are missing,
# then configures and builds into build/ (Release). Quick when nothing is missing.
set -euo pipefail

packages=(cmake g++ make pkg-config qt6-base-dev libhwy-dev libdeflate-dev libgtest-dev libgmock-dev libbenchmark-dev libproj-dev
          fonts-noto-cjk)

fail() { echo "GlobeView set-up: $*" >&2; exit 1; }

missing=()
for p in "${packages[@]}"; do
  # Installed for real, not merely known to dpkg (a removed package keeps its configuration files).
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing missing packages: ${missing[*]}"
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || fail "need root or sudo to install: ${missing[*]}"
    sudo="sudo"
  fi
  $sudo apt-get update -qq || fail "apt-get update failed"
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" \
    || fail "could not install: ${missing[*]}"
fi

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="${GLOBEVIEW_BUILD_DIR:-$top/build}"
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null || fail "cmake configure failed"
cmake --build "$build" -j "$(nproc)" || fail "build failed"
