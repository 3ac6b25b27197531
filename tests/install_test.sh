#!/bin/sh
# The installed programs as a user gets them: installed into a temporary prefix, the prefix moved
# elsewhere and made read-only, globeview-render started from an empty folder by a user who owns
# none of it (nobody, when the test runs as root).
#
#   install_test.sh BUILD_DIR BINDIR
set -eu
build=$1
bindir=$2

scratch=$(mktemp -d)
cleanup() {
  chmod -R u+w "$scratch" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT
fail() {
  echo "install_test: $*" >&2
  exit 1
}

cmake --install "$build" --prefix "$scratch/first" >"$scratch/install.log" 2>&1 ||
  fail "cmake --install failed: $(tail -n 5 "$scratch/install.log")"
mv "$scratch/first" "$scratch/moved"
prefix=$scratch/moved

programs=$(ls "$prefix/$bindir" | tr '\n' ' ')
[ "$programs" = "globeview globeview-render " ] || fail "$bindir holds: $programs"
for file in borders.dat countries.dat cities.dat; do
  find "$prefix" -path "*/share/globeview/$file" | grep -q . || fail "$file is not installed"
done
if find "$prefix" -name '*_test*' -o -name '*bench*' | grep -q .; then
  fail "tests or the benchmark were installed: $(find "$prefix" -name '*_test*' -o -name '*bench*')"
fi

# The installed README is a user's: every picture and file it links lies beside it, and it tells no
# one to build anything.
doc=$(find "$prefix" -type d -path '*/doc/globeview')
[ -f "$doc/README.md" ] || fail "no README.md in the doc folder"
for link in $(grep -o '](\([^)]*\))' "$doc/README.md" | sed 's/^](//; s/)$//'); do
  case $link in *://*) continue ;; esac
  [ -e "$doc/$link" ] || fail "README.md links $link, which is not installed"
done
if grep -nE '\./(run|test)\.sh|cmake ' "$doc/README.md"; then fail "README.md tells a user to build"; fi

# The window's manual tells what the README tells: the lock file, running without it, no display.
man=$(find "$prefix" -name globeview.1.gz)
for says in globeview/instance.lock 'running without the single-copy check' '1 without a display'; do
  gzip -dc "$man" | grep -qF "$says" || fail "globeview(1) does not say: $says"
done

mkdir "$scratch/empty" "$scratch/home" "$scratch/out"
chmod 755 "$scratch" "$scratch/empty"
chmod 777 "$scratch/home" "$scratch/out"
chmod -R a-w "$prefix"
as_user=""
if [ "$(id -u)" -eq 0 ]; then
  command -v setpriv >/dev/null || fail "running as root needs setpriv to drop to nobody"
  as_user="setpriv --reuid=65534 --regid=65534 --clear-groups"
fi
# $as_user is a command and its options, split on purpose.
# shellcheck disable=SC2086
render() {
  (cd "$scratch/empty" && env -u XDG_CONFIG_HOME HOME="$scratch/home" \
    $as_user "$prefix/$bindir/globeview-render" "$@")
}

summary=$(render) || fail "globeview-render failed from an empty folder"
case $summary in
*"longitude 139.7, latitude 35.7, magnification 1:"*) ;;
*) fail "not the shipped first view: $summary" ;;
esac

render --out "$scratch/out/map.png" || fail "no picture from an empty folder"
[ "$(head -c 4 "$scratch/out/map.png" | od -An -c | tr -d ' ')" = "211PNG" ] ||
  fail "map.png is not a PNG"

# A view saved by the window comes before the shipped one.
mkdir -p "$scratch/home/.config/globeview"
printf '"10","20","2"\r\n' >"$scratch/home/.config/globeview/data2.dat"
summary=$(render) || fail "globeview-render failed with a saved view"
case $summary in
*"longitude 10, latitude 20, magnification 2:"*) ;;
*) fail "not the user's saved view: $summary" ;;
esac

[ -z "$(ls -A "$scratch/empty")" ] || fail "wrote into the current folder: $(ls -A "$scratch/empty")"
echo "installed, moved and read-only: $summary"
