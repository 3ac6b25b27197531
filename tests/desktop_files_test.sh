#!/bin/sh
# The desktop entry and the AppStream metainfo, checked as menus and software centres read them,
# and tied together by one id. Skipped (status 77) where the validators are not installed.
#
#   desktop_files_test.sh DESKTOP_FILE METAINFO_FILE
set -eu
desktop=$1
metainfo=$2
for tool in desktop-file-validate appstreamcli; do
  command -v "$tool" >/dev/null || {
    echo "$tool is not installed"
    exit 77
  }
done
desktop-file-validate "$desktop"
appstreamcli validate --no-net "$metainfo"

id=$(basename "$desktop" .desktop)
grep -q "<id>$id</id>" "$metainfo" || { echo "metainfo id is not $id" >&2; exit 1; }
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
  { echo "metainfo does not launch $id.desktop" >&2; exit 1; }
grep -qx "Icon=$id" "$desktop" || { echo "the icon is not named $id" >&2; exit 1; }
