#!/bin/sh
# check_install.sh BUILD_DIR APP_ID CMAKE: installs the build into a scratch prefix, then checks
# that every file is in its standard place, that each PNG icon has the size of its folder, and
# that the installed desktop entry and AppStream data validate and name each other.
set -eu
build=$1
id=$2
cmake=$3
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
"$cmake" --install "$build" --prefix "$prefix" >/dev/null

fail() {
    echo "install layout: $*" >&2
    exit 1
}

for file in bin/vilorka share/vilorka/Help.htm "share/applications/$id.desktop" \
    "share/metainfo/$id.metainfo.xml" share/icons/hicolor/scalable/apps/vilorka.svg \
    share/doc/vilorka/LICENSE share/man/man1/vilorka.1.gz share/man/ru/man1/vilorka.1.gz; do
    [ -f "$prefix/$file" ] || fail "missing $file"
done
[ -x "$prefix/bin/vilorka" ] || fail "bin/vilorka is not executable"

for size in 16 22 24 32 48 64 128 256; do
    png="$prefix/share/icons/hicolor/${size}x${size}/apps/vilorka.png"
    [ -f "$png" ] || fail "missing the ${size}x${size} icon"
    # The IHDR chunk holds the width and the height as 32-bit big-endian numbers at bytes 16..23.
    dims=$(od -An -tu1 -j16 -N8 "$png" | awk '{print $1*16777216+$2*65536+$3*256+$4 "x" $5*16777216+$6*65536+$7*256+$8}')
    [ "$dims" = "${size}x${size}" ] || fail "the ${size}x${size} icon is $dims"
done

desktop-file-validate "$prefix/share/applications/$id.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" >/dev/null ||
    fail "the installed AppStream data do not validate"
grep -qx 'Exec=vilorka' "$prefix/share/applications/$id.desktop" || fail "Exec is not vilorka"
grep -qx 'Icon=vilorka' "$prefix/share/applications/$id.desktop" || fail "Icon is not vilorka"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$prefix/share/metainfo/$id.metainfo.xml" ||
    fail "the AppStream data do not launch $id.desktop"
echo "install layout: ok"
