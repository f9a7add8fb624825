#!/usr/bin/env bash
# The Debian package: CPack builds it from the build folder (as `make
# package` does) into a temporary folder; its dependencies come from the
# binaries, and the unpacked pelmar-cli runs and opens the unpacked example.
#   package_test.sh BUILD_FOLDER
set -euo pipefail
build=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -B "$tmp/out" > "$tmp/cpack.log" 2>&1 ||
  { cat "$tmp/cpack.log" >&2; fail "cpack"; }
deb=$(ls "$tmp"/out/pelmar_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt6core6 libqt6widgets6 libqt6network6 libc6 qt6-qpa-plugins; do
  grep -q "$needed" <<< "$depends" || fail "Depends lacks $needed: $depends"
done
dpkg-deb -c "$deb" > "$tmp/contents.txt"
grep -q "./usr/share/applications/nl.pelmar.Pelmar.desktop" "$tmp/contents.txt" ||
  fail "no menu entry in the package"

root=$tmp/root
dpkg-deb -x "$deb" "$root"
export HOME=$tmp/home XDG_CONFIG_HOME=$tmp/home/.config XDG_DATA_HOME=$tmp/home/.local/share
version=$("$root/usr/bin/pelmar-cli" --version)
[ "$version" = "Pelmar, version $(dpkg-deb -f "$deb" Version)" ] ||
  fail "the package's version is not the program's: $version"
share=$root/usr/share/pelmar
"$root/usr/bin/pelmar-cli" open "$share/Port/Test-1.xml" --prices "$share/Prices" \
  --today 2026-01-05 > "$tmp/open.txt"
grep -q "^Dataset 28: 2026-01-05" "$tmp/open.txt" || { cat "$tmp/open.txt" >&2; fail "open"; }
grep -q "^DBG" "$tmp/open.txt" || { cat "$tmp/open.txt" >&2; fail "no fund listed"; }
echo "$(basename "$deb"): Depends: $depends"
