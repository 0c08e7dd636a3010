#!/usr/bin/env bash
# Installs the build into a staging folder and checks what a desktop expects there
# (programs, icon theme, menu entry, metainfo, both validated); then makes the Debian
# package and checks its computed dependencies and contents.
# Usage: install_check.sh BUILD_DIR
set -euo pipefail
build=$1
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR=$stage cmake --install "$build" --prefix /usr >/dev/null
usr=$stage/usr
id=org.tesselkraft.Tesselkraft
for program in tesselkraft tesselkraft-cut; do
    [ -x "$usr/bin/$program" ] || fail "bin/$program missing"
done
"$usr/bin/tesselkraft-cut" --help | grep -q 'tesselkraft-cut' || fail "installed cutter does not run"

# Every rendering of the icon has the size its folder says.
for size in 16 22 24 32 48 64 128 256; do
    png=$usr/share/icons/hicolor/${size}x$size/apps/tesselkraft.png
    [ -f "$png" ] || fail "icon $size missing"
    read -r w0 w1 w2 w3 h0 h1 h2 h3 < <(od -An -tu1 -j16 -N8 "$png")
    [ $(((w0 << 24) + (w1 << 16) + (w2 << 8) + w3)) -eq "$size" ] &&
        [ $(((h0 << 24) + (h1 << 16) + (h2 << 8) + h3)) -eq "$size" ] || fail "icon $size is not ${size}x$size"
done
grep -q '<svg' "$usr/share/icons/hicolor/scalable/apps/tesselkraft.svg" || fail "scalable icon missing"

desktop=$usr/share/applications/$id.desktop
desktop-file-validate "$desktop" || fail "menu entry does not validate"
grep -q '^Exec=tesselkraft %f$' "$desktop" || fail "menu entry does not pass a file"
grep -q '^Icon=tesselkraft$' "$desktop" || fail "menu entry names another icon"
metainfo=$usr/share/metainfo/$id.metainfo.xml
appstreamcli validate --no-net "$metainfo" || fail "metainfo does not validate"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
    fail "metainfo does not name the menu entry"

# The package: dependencies computed from the programs, and the same tree under /usr.
# The tests run on a finished build: CPack is told the tree is Ninja's, for which it runs
# no build step of its own, as it would for Makefiles (a check of every target that
# took longer than everything else here).
(cd "$build" && cpack -G DEB -B "$stage/deb" -D CPACK_CMAKE_GENERATOR=Ninja >/dev/null)
deb=$(ls "$stage"/deb/tesselkraft_*_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
# The HEIF and TIFF libraries are opened at run time: the package must name them itself.
for library in libqt6widgets6 libqt6gui6 libjpeg62-turbo libc6 libheif1 libtiff6 libwebp7; do
    grep -q "$library" <<<"$depends" || fail "package does not depend on $library: $depends"
done
contents=$(dpkg-deb -c "$deb")
for path in ./usr/bin/tesselkraft ./usr/bin/tesselkraft-cut ./usr/share/applications/$id.desktop \
    ./usr/share/metainfo/$id.metainfo.xml ./usr/share/icons/hicolor/48x48/apps/tesselkraft.png; do
    grep -q " $path\$" <<<"$contents" || fail "package lacks $path"
done
echo "installed tree, menu entry, metainfo and package are in order"
