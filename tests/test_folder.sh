#!/bin/sh
# The folder the tests' temporary files go to (their TMPDIR).
#
#   test_folder.sh make DIR    before the tests: an empty DIR
#   test_folder.sh check DIR   after them: fails, naming them, when files are left in DIR (but for
#                              the runtime folder Qt makes there when XDG_RUNTIME_DIR is not set),
#                              and removes them
set -u
dir=$2
clear() {
  chmod -R u+rwx "$dir" 2>/dev/null
  find "$dir" -mindepth 1 -maxdepth 1 "$@" -exec rm -rf {} +
}
case $1 in
  make)
    mkdir -p "$dir" && clear
    ;;
  check)
    left=$(find "$dir" -mindepth 1 -maxdepth 1 ! -name 'runtime-*' -printf '%f ')
    [ -z "$left" ] && exit 0
    echo "left behind in $dir: $left" >&2
    clear ! -name 'runtime-*'
    exit 1
    ;;
esac
