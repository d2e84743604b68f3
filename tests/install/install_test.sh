#!/bin/sh
# install_test.sh BUILD_DIR
# Installs into a temporary prefix and checks what a desktop needs: the
# executable, a valid .desktop entry, and the icon in the hicolor theme.
set -eu
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" > /dev/null

fail() { echo "FAIL: $*"; exit 1; }
[ -x "$prefix/bin/dnsbatch" ] || fail "no executable bin/dnsbatch"
desktop="$prefix/share/applications/dnsbatch.desktop"
[ -f "$desktop" ] || fail "no $desktop"
if command -v desktop-file-validate > /dev/null; then
    desktop-file-validate "$desktop" || fail "desktop-file-validate rejects $desktop"
else
    echo "note: desktop-file-validate is not installed; the entry was not validated"
fi
grep -qx 'Name=DNS查询' "$desktop" || fail "Name is not DNS查询"
grep -qx 'Categories=Network;' "$desktop" || fail "not in Network"
icon=$(sed -n 's/^Icon=//p' "$desktop")
for size in 32 128 256; do
    png="$prefix/share/icons/hicolor/${size}x${size}/apps/$icon.png"
    [ -f "$png" ] || fail "no $png"
    # PNG width and height, big-endian at bytes 16-23 of the file.
    dims=$(od -An -tu1 -j16 -N8 "$png" | awk '{print $3*256+$4 "x" $7*256+$8}')
    [ "$dims" = "${size}x${size}" ] || fail "$png is $dims"
done
echo "installed and checked: bin/dnsbatch, $desktop, icon $icon at 32, 128 and 256"
