#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks what lands there: the
# program, the desktop entry and the metainfo (each passing its validator),
# and the icons in the hicolor theme, all under one application id.
# Usage: install_check.sh BUILD_DIR APP_ID
set -euo pipefail
build_dir=$1
app_id=$2

fail() { echo "FAIL: $*"; exit 1; }
for tool in desktop-file-validate appstreamcli; do
    if ! command -v "$tool" >/dev/null; then
        [ "${CI:-}" = true ] && fail "$tool is missing in CI"
        echo "SKIP: $tool is not installed (Debian: desktop-file-utils appstream)"
        exit 77
    fi
done

prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build_dir" --prefix "$prefix" >/dev/null

expect=(
    bin/rolling-zemb
    "share/applications/$app_id.desktop"
    "share/metainfo/$app_id.metainfo.xml"
    "share/icons/hicolor/16x16/apps/$app_id.png"
    "share/icons/hicolor/32x32/apps/$app_id.png"
)
for file in "${expect[@]}"; do
    [ -f "$prefix/$file" ] || fail "$file is not installed"
done
[ -x "$prefix/bin/rolling-zemb" ] || fail "the program is not executable"
for size in 16 32; do
    head -c 24 "$prefix/share/icons/hicolor/${size}x$size/apps/$app_id.png" | od -An -tx1 |
        tr -d ' \n' | grep -q "^89504e470d0a1a0a.*49484452000000$(printf %02x "$size")000000$(printf %02x "$size")$" ||
        fail "the ${size}-pixel icon is not a $size x $size PNG"
done

desktop-file-validate "$prefix/share/applications/$app_id.desktop" || fail "desktop entry"
appstreamcli validate --no-net --explain "$prefix/share/metainfo/$app_id.metainfo.xml" ||
    fail "metainfo"
grep -q "^Icon=$app_id$" "$prefix/share/applications/$app_id.desktop" || fail "desktop icon"
grep -q "<release version=\"1.00\"" "$prefix/share/metainfo/$app_id.metainfo.xml" ||
    fail "metainfo release"
echo "PASS: installed and validated"
