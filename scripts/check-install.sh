#!/bin/sh
# check-install.sh [BUILD_DIR]: installs a built tree into a scratch prefix and
# checks what a desktop expects of it, then builds the Debian package.
#   - the layout under the prefix and `spectro --version`;
#   - the installed program takes its data from <prefix>/share/spectro;
#   - desktop-file-validate, appstreamcli validate --no-net;
#   - a .C12 file resolves to the program's MIME type with the installed database;
#   - cpack -G DEB, the package's control fields and its copyright file.
# Needs: desktop-file-utils appstream shared-mime-info xdg-utils libfile-mimeinfo-perl
# strace dpkg-dev (apt-get install them first). Does not install the package.
set -eu
cd "$(dirname "$0")/.."
ROOT=$(pwd)
BUILD=${1:-$ROOT/build-release}
PREFIX=$(mktemp -d /tmp/spectro-prefix.XXXXXX)
WORK=$(mktemp -d /tmp/spectro-check.XXXXXX)
trap 'rm -rf "$PREFIX" "$WORK"' EXIT
fail=0
check() {
    # check "what" command...: prints ok/ÉCHEC and goes on.
    what=$1
    shift
    if "$@" >"$WORK/out" 2>&1; then
        echo "ok     $what"
    else
        echo "ÉCHEC  $what"
        sed 's/^/       /' "$WORK/out"
        fail=1
    fi
}

cmake "$BUILD" >/dev/null
cmake --build "$BUILD" --target spectro spectro_icons -j 2 >/dev/null
cmake --install "$BUILD" --prefix "$PREFIX" >/dev/null

for p in bin/spectro share/spectro/kelvano.PEM share/spectro/LOMA.html \
    share/spectro/priseenmain.C12 share/spectro/help/index.txt share/spectro/icons/copier.svg \
    share/applications/fr.spectro.Spectrophotometrie.desktop \
    share/metainfo/fr.spectro.Spectrophotometrie.metainfo.xml \
    share/mime/packages/spectro-mime.xml share/icons/hicolor/scalable/apps/spectro.svg \
    share/icons/hicolor/16x16/apps/spectro.png share/icons/hicolor/256x256/apps/spectro.png \
    share/doc/spectro/copyright; do
    check "installé : $p" test -s "$PREFIX/$p"
done
check "pas de fichier d'échange ni de sources d'exercices installés" \
    sh -c "! test -e '$PREFIX/share/spectro/TEMPKZ.TMP' && ! test -e '$PREFIX/share/spectro/exercises'"
check "spectro --version" "$PREFIX/bin/spectro" --version

# The hand-off file is looked for in the data folder: the trace shows which one.
cp "$ROOT/data/beer_lambert.C12" "$WORK/essai.C12"
check "données lues dans $PREFIX/share/spectro" sh -c "
    cd '$WORK' && env -u SPECTRO_DATA_DIR strace -f -e trace=openat -o '$WORK/trace' \
        '$PREFIX/bin/spectro' essai.C12 --screenshot '$WORK/capture.png' &&
    grep -q '$PREFIX/share/spectro/TEMPKZ.TMP' '$WORK/trace' &&
    ! grep -q '$ROOT/data' '$WORK/trace' && test -s '$WORK/capture.png'"

check "desktop-file-validate" \
    desktop-file-validate "$PREFIX/share/applications/fr.spectro.Spectrophotometrie.desktop"
check "appstreamcli validate" appstreamcli validate --no-net \
    "$PREFIX/share/metainfo/fr.spectro.Spectrophotometrie.metainfo.xml"
check "licence de la fiche AppStream" grep -q '<project_license>GPL-3.0-or-later</project_license>' \
    "$PREFIX/share/metainfo/fr.spectro.Spectrophotometrie.metainfo.xml"
update-mime-database "$PREFIX/share/mime" >/dev/null 2>&1
check "type MIME d'un .C12" sh -c "
    test \"\$(XDG_DATA_DIRS='$PREFIX/share:/usr/share' xdg-mime query filetype '$WORK/essai.C12')\" \
        = application/x-spectro-configuration"

rm -f "$BUILD"/spectro_*.deb
check "cpack -G DEB" sh -c "cd '$BUILD' && cpack -G DEB"
deb=$(ls "$BUILD"/spectro_*.deb 2>/dev/null | head -n 1)
if [ -n "$deb" ]; then
    dpkg-deb --field "$deb" Package Version Depends Recommends
    check "le paquet dépend de Qt 6 et de ses greffons" sh -c "
        dpkg-deb --field '$deb' Depends | grep -q libqt6widgets6 &&
        dpkg-deb --field '$deb' Depends | grep -q qt6-qpa-plugins"
    check "le paquet contient /usr/bin/spectro et /usr/share/spectro" sh -c "
        dpkg-deb --contents '$deb' | grep -q ' ./usr/bin/spectro\$' &&
        dpkg-deb --contents '$deb' | grep -q ' ./usr/share/spectro/kelvano.PEM\$'"
    check "le paquet porte la licence (copyright au format de Debian, GPL-3+)" sh -c "
        dpkg-deb --contents '$deb' | grep -q ' ./usr/share/doc/spectro/copyright\$' &&
        dpkg-deb --fsys-tarfile '$deb' | tar -xOf - ./usr/share/doc/spectro/copyright |
            grep -q '^License: GPL-3+\$'"
    echo "paquet : $deb"
fi
exit $fail
