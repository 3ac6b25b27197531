#!/usr/bin/env bash
# Shared by run.sh, test.sh and CI: installs the Debian packages that are missing, then configures
# and builds. Quick when nothing is missing and nothing changed.
#
#   scripts/setup.sh run  [cmake options]  only what building and running the two programs needs
#   scripts/setup.sh test [cmake options]  everything: the tests, the benchmark, the packaging checks
#
# The build folder is build/, or GLOBEVIEW_BUILD_DIR; the log of the run is build.log inside it.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$top/scripts/steps.sh"

purpose=${1:-}
shift || true
# Building and running need the compiler, Qt and the libraries of the core (FreeType and
# fontconfig draw the pictures' texts); the labels are Japanese, so a font that has them.
packages=(cmake g++ make pkg-config qt6-base-dev libhwy-dev libdeflate-dev libfreetype-dev
          libfontconfig-dev fonts-noto-cjk)
case $purpose in
  run)
    options=(-DGLOBEVIEW_TESTS=OFF -DGLOBEVIEW_BENCH=OFF)
    targets=(--target globeview globeview-render)
    what="globeview and globeview-render"
    ;;
  test)
    # The tests check projections against PROJ, PNG files through libpng and SVG pictures through
    # rsvg-convert; the packaging tests build a Debian package, check it with lintian and validate
    # the desktop entry and the metainfo; scripts/make-pictures.sh shoots the window under Xvfb.
    packages+=(libgtest-dev libgmock-dev libbenchmark-dev libproj-dev libpng-dev librsvg2-bin
               dpkg-dev desktop-file-utils appstream lintian xvfb openbox xdotool imagemagick)
    options=(-DGLOBEVIEW_TESTS=ON -DGLOBEVIEW_BENCH=ON)
    targets=()
    what="everything"
    ;;
  *)
    echo "usage: scripts/setup.sh run|test [cmake options]" >&2
    exit 2
    ;;
esac

build=${GLOBEVIEW_BUILD_DIR:-$top/build}
mkdir -p "$build"
export GLOBEVIEW_LOG=$build/build.log
: >"$GLOBEVIEW_LOG"

install_packages() {
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "need root or sudo to install: $*"; return 1; }
    sudo=(sudo)
  fi
  "${sudo[@]}" apt-get update -q &&
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$@"
}

# Installed for real, not merely known to dpkg (a removed package keeps its configuration files).
mapfile -t installed < <(dpkg-query -W -f='${Package} ${Status}\n' "${packages[@]}" 2>/dev/null |
                         awk '$NF == "installed" { print $1 }')
missing=()
for p in "${packages[@]}"; do
  [[ " ${installed[*]} " == *" $p "* ]] || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  step "installing ${missing[*]}" install_packages "${missing[@]}"
fi

# A build folder made for running only is made ready for the tests, and one made with other options
# (the sanitizers) is configured again; otherwise the build itself configures when a file changed.
configured() {
  local cache=$build/CMakeCache.txt option
  [ -f "$cache" ] || return 1
  [ $# -eq 0 ] || return 1
  for option in "${options[@]}"; do
    option=${option#-D}
    grep -qx "${option%%=*}:BOOL=${option#*=}" "$cache" || return 1
  done
}
if [ "$purpose" = run ] && [ -f "$build/CMakeCache.txt" ] && [ $# -eq 0 ]; then
  : # what was configured for the tests builds the two programs as well
elif ! configured "$@"; then
  step "configuring $build" cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release \
    "${options[@]}" "$@"
fi
step "building $what" cmake --build "$build" -j "$(nproc)" "${targets[@]}"
