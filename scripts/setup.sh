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
# fontconfig draw the pictures' texts, cairo the PDF pages); the labels are Japanese, so a font
# that has them. The window turns an antenna's rotator through Hamlib.
packages=(cmake g++ make pkg-config qt6-base-dev libhwy-dev libdeflate-dev libfreetype-dev
          libfontconfig-dev libcairo2-dev fonts-noto-cjk libhamlib-dev)
case $purpose in
  run)
    options=(-DGLOBEVIEW_TESTS=OFF -DGLOBEVIEW_BENCH=OFF)
    targets=(--target globeview globeview-render)
    what="globeview and globeview-render"
    ;;
  test)
    # The tests check projections against PROJ, PNG files through libpng, SVG pictures through
    # rsvg-convert and PDF pages through poppler's tools; the packaging tests build a Debian
    # package, check it with lintian and validate the desktop entry and the metainfo; the window's
    # title is read off a virtual X server (where scripts/make-pictures.sh also shoots the window),
    # and the window turns Hamlib's own dummy rotator, served by its rotctld and read back with
    # rotctl.
    packages+=(libgtest-dev libgmock-dev libbenchmark-dev libproj-dev libpng-dev librsvg2-bin
               poppler-utils dpkg-dev desktop-file-utils appstream lintian xvfb xauth openbox
               xdotool imagemagick libhamlib-utils)
    options=(-DGLOBEVIEW_TESTS=ON -DGLOBEVIEW_BENCH=ON)
    targets=()
    what="everything"
    ;;
  *)
    echo "usage: scripts/setup.sh run|test [cmake options]" >&2
    exit 2
    ;;
esac
# Running: Qt's own dialogs and buttons speak the labels' Japanese with Qt's translations.
packages+=(qt6-translations-l10n)

build=${GLOBEVIEW_BUILD_DIR:-$top/build}
mkdir -p "$build"
export GLOBEVIEW_LOG=$build/build.log
: >"$GLOBEVIEW_LOG"

install_packages() {
  apt_get update && apt_get install -y --no-install-recommends "$@"
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
