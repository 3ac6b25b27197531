#!/bin/sh
# The Debian package as a distribution would judge it: built with CPack from the build folder and
# checked by lintian, which must find no error and no warning. Skipped (77) without lintian.
#
#   package_test.sh BUILD_DIR
set -eu
build=$1
command -v lintian >/dev/null || { echo "lintian is not installed"; exit 77; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
(cd "$scratch" && cpack -G DEB -B "$scratch" --config "$build/CPackConfig.cmake") \
  >"$scratch/cpack.log" 2>&1 || { tail -n 20 "$scratch/cpack.log"; exit 1; }
package=$(ls "$scratch"/*.deb)
# lintian leaves scratch files of its own behind, so it works inside the scratch folder.
status=0
TMPDIR=$scratch lintian --fail-on error,warning "$package" >"$scratch/lintian.log" 2>&1 ||
  status=$?
grep -v '^running with root privileges' "$scratch/lintian.log" || true
[ "$status" -eq 0 ] ||
  { echo "package_test: lintian finds errors or warnings in $(basename "$package")"; exit 1; }
echo "lintian: no errors or warnings in $(basename "$package")"
