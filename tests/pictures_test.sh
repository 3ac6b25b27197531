#!/bin/sh
# The README's globeview-render pictures in docs/ are what globeview-render draws now: each is
# made again by scripts/make-pictures.sh and compared byte for byte.
# usage: pictures_test.sh SOURCE_DIR BUILD_DIR
set -eu
source_dir=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
GLOBEVIEW_BUILD_DIR=$2 bash "$source_dir/scripts/make-pictures.sh" render "$out"
status=0
for made in "$out"/*.png; do
  name=$(basename "$made")
  if ! cmp -s "$made" "$source_dir/docs/$name"; then
    echo "docs/$name is not what globeview-render draws now: run scripts/make-pictures.sh" >&2
    status=1
  fi
done
exit $status
