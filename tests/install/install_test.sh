#!/usr/bin/env bash
# The installation as a user gets it: `cmake --install` of the build folder
# into a temporary prefix puts every file where the desktop and the programs
# look for it, the menu entry and the metainfo pass their validators, and
# the installed program, started offscreen on an empty home folder, makes
# its examples and opens Test-1.xml with its help found beside it.
#   install_test.sh BUILD_FOLDER
set -euo pipefail
build=$1
tmp=$(mktemp -d)
pid=
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
  rm -rf "$tmp"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

prefix=$tmp/prefix
cmake --install "$build" --prefix "$prefix" > "$tmp/install.log"
id=nl.pelmar.Pelmar
for file in bin/pelmar bin/pelmar-cli share/pelmar/Port/Test-1.xml share/pelmar/Port/Test-2.xml \
            "share/pelmar/Prices/Last Prices.txt" share/pelmar/help/pelmar_en.html share/pelmar/help/pelmar_nl.html \
            share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
            share/icons/hicolor/scalable/apps/$id.svg share/man/man1/pelmar-cli.1; do
  [ -f "$prefix/$file" ] || fail "$file is not installed"
done
for size in 16 22 24 32 48 64 128 256; do
  [ -f "$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png" ] || fail "no ${size}px icon"
done
[ "$(ls "$prefix/share/pelmar/Prices" | wc -l)" -gt 500 ] || fail "the price files are missing"

# The validators the desktop and the software centres run.
desktop-file-validate "$prefix/share/applications/$id.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml"
appstreamcli validate-tree --no-net "$prefix" > /dev/null
grep -q "^Icon=$id$" "$prefix/share/applications/$id.desktop" || fail "the entry names another icon"
grep -q -- "--today" "$prefix/share/man/man1/pelmar-cli.1" || fail "the man page lacks the options"

# The installed program on an empty home: the trace log (a setting) tells
# what the start did; a message box would stop the start before its end.
home=$tmp/home
export HOME=$home XDG_CONFIG_HOME=$home/.config XDG_DATA_HOME=$home/.local/share
export XDG_RUNTIME_DIR=$tmp/runtime QT_QPA_PLATFORM=offscreen
mkdir -p "$XDG_CONFIG_HOME/Pelmar" "$home/Desktop" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
printf '[Service]\nLogFile=1\n' > "$XDG_CONFIG_HOME/Pelmar/Pelmar.conf"
"$prefix/bin/pelmar-cli" --version | grep -q "^Pelmar, version " || fail "pelmar-cli --version"
"$prefix/bin/pelmar" > "$tmp/pelmar.out" 2>&1 &
pid=$!
log=$home/Desktop/Pelmar.log
for _ in $(seq 1 120); do
  grep -q "StartUp - einde" "$log" 2>/dev/null && break
  kill -0 "$pid" 2>/dev/null || { cat "$tmp/pelmar.out" >&2; fail "the program ended at start"; }
  sleep 0.5
done
grep -q "StartUp - einde" "$log" 2>/dev/null || { cat "$log" "$tmp/pelmar.out" >&2; fail "the start did not end"; }
grep -q "StartUp - $XDG_DATA_HOME/Pelmar/Port/Test-1.xml geopend, Dataset [0-9]*, DBG" "$log" ||
  { cat "$log" >&2; fail "Test-1.xml was not opened on its first fund"; }
[ -f "$XDG_DATA_HOME/Pelmar/Port/Test-2.xml" ] || fail "the examples were not made"
yesterday=$(ls "$XDG_DATA_HOME/Pelmar/Prices" | grep -E '^[0-9]{6}A\.csv$' | sort | tail -1)
[ "$yesterday" \< "$(date +%y%m%d)A.csv" ] || fail "prices of today or later: $yesterday"
echo "installed into $prefix: files, validators and the first start pass"
