#!/bin/bash
# Cross-builds the program for 64-bit Windows on Debian 12, runs its tests
# under Wine and writes dist/spectro-<version>-windows-x64.zip and
# dist/spectro-<version>-setup.exe.
#
#   scripts/build-windows.sh [--qt-only] [--no-tests] [--no-unit-tests]
#
# Qt for Windows is built once from Debian's own qt6-base source package into
# $SPECTRO_WIN_CACHE (default /var/cache/spectro-win), keyed by the Qt version,
# its configure options and the parts built; later runs reuse it.
# --no-tests skips the test suite and the checks under Wine, --no-unit-tests
# only the test suite.
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
CACHE=${SPECTRO_WIN_CACHE:-/var/cache/spectro-win}
JOBS=${SPECTRO_WIN_JOBS:-2}
QT_VERSION=6.4.2
QT_SRC_VERSION=6.4.2+dfsg-10
QT_ONLY=0
RUN_TESTS=1
RUN_UNIT_TESTS=1
for arg in "$@"; do
    case "$arg" in
    --qt-only) QT_ONLY=1 ;;
    --no-tests) RUN_TESTS=0 RUN_UNIT_TESTS=0 ;;
    --no-unit-tests) RUN_UNIT_TESTS=0 ;;
    *)
        echo "usage: $0 [--qt-only] [--no-tests] [--no-unit-tests]" >&2
        exit 2
        ;;
    esac
done

die() {
    echo "build-windows: ÉCHEC : $*" >&2
    exit 1
}
step() { echo "== $* ($(date +%T))"; }

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

# --- Debian packages, only the missing ones ---------------------------------
PKGS="cmake ninja-build g++ qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-translations-l10n qt6-qpa-plugins
libgl-dev fonts-liberation fonts-dejavu-core
g++-mingw-w64-x86-64-posix mingw-w64-tools wine64 nsis zip unzip xvfb xauth
dpkg-dev googletest"
missing=""
for p in $PKGS; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
    step "Installation de :$missing"
    $SUDO apt-get update || die "apt-get update"
    # shellcheck disable=SC2086
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends $missing ||
        die "installation des paquets Debian :$missing"
fi
host_qt=$(dpkg-query -W -f='${Version}' qt6-base-dev)
case "$host_qt" in
"$QT_SRC_VERSION"*) ;;
*) die "qt6-base-dev $host_qt installé, les outils hôtes doivent être en $QT_SRC_VERSION" ;;
esac

TOOLCHAIN="$ROOT/cmake/mingw-w64-x86_64.cmake"

# --- Qt for Windows -----------------------------------------------------------
QT_OPTIONS=(
    -DCMAKE_BUILD_TYPE=Release
    -DBUILD_SHARED_LIBS=ON
    -DQT_HOST_PATH=/usr
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
    -DQt6HostInfo_DIR=/usr/lib/x86_64-linux-gnu/cmake/Qt6HostInfo
    -DQT_BUILD_EXAMPLES=OFF
    -DQT_BUILD_TESTS=OFF
    -DFEATURE_sql=OFF
    -DFEATURE_network=OFF
    -DFEATURE_xml=OFF
    -DFEATURE_dbus=OFF
    -DFEATURE_concurrent=OFF
    -DFEATURE_vulkan=OFF
    -DFEATURE_zstd=OFF
    -DFEATURE_icu=OFF
    -DFEATURE_system_zlib=OFF
    -DFEATURE_system_png=OFF
    -DFEATURE_system_jpeg=OFF
    -DFEATURE_system_pcre2=OFF
    -DFEATURE_system_harfbuzz=OFF
    -DFEATURE_system_freetype=OFF
    -DFEATURE_freetype=ON
    -DFEATURE_harfbuzz=ON
    -DFEATURE_printsupport=ON
    -DFEATURE_testlib=ON
)
# JPEG: pictures of the RTF texts.
QT_TARGETS=(Core Gui Widgets PrintSupport Test EntryPointImplementation QWindowsIntegrationPlugin
    QOffscreenIntegrationPlugin QWindowsVistaStylePlugin QJpegPlugin)
# The toolchain file is part of the key: a different compiler set-up means a different Qt.
qt_key=$( (
    echo "$QT_SRC_VERSION"
    printf '%s\n' "${QT_OPTIONS[@]}" "${QT_TARGETS[@]}"
    cat "$TOOLCHAIN"
    x86_64-w64-mingw32-g++-posix -dumpfullversion
) | sha256sum | cut -c1-12)
QT_PREFIX="$CACHE/qt-$QT_VERSION-$qt_key"

if [ -f "$QT_PREFIX/.complete" ]; then
    step "Qt pour Windows déjà construit : $QT_PREFIX"
else
    $SUDO mkdir -p "$CACHE" && $SUDO chown "$(id -u):$(id -g)" "$CACHE" || die "création du cache $CACHE"
    work="$CACHE/work-$qt_key"
    mkdir -p "$work"
    if [ ! -f "$work/src/.unpacked" ]; then
        step "Téléchargement des sources de qt6-base $QT_SRC_VERSION"
        # A sources list and lists folder of our own: the machine's apt set-up is left as it is.
        uri=$(cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources 2>/dev/null |
            grep -oE '^(URIs:|deb) +(\[[^]]*\] +)?https?://[^ ]*/debian/?( |$)' | head -1 | awk '{print $NF}') || true
        [ -n "$uri" ] || die "aucune archive Debian trouvée dans /etc/apt/sources.list*"
        mkdir -p "$work/apt/lists/partial" "$work/apt/cache/archives/partial" "$work/dl"
        printf 'deb%s [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] %s bookworm main\n' \
            "" "$uri" -src "$uri" >"$work/apt/sources.list"
        apt_opts=(-o Dir::Etc::SourceList="$work/apt/sources.list" -o Dir::Etc::SourceParts=/dev/null
            -o Dir::State::Lists="$work/apt/lists" -o Dir::Cache="$work/apt/cache" -o APT::Sandbox::User=root)
        apt-get "${apt_opts[@]}" update || die "apt-get update ($uri, deb et deb-src)"
        (cd "$work/dl" && apt-get "${apt_opts[@]}" source --download-only "qt6-base=$QT_SRC_VERSION") ||
            die "apt-get source qt6-base=$QT_SRC_VERSION"
        rm -rf "$work/src"
        dpkg-source -x "$work/dl/qt6-base_$QT_SRC_VERSION.dsc" "$work/src" >/dev/null ||
            die "dpkg-source -x qt6-base_$QT_SRC_VERSION.dsc"
        # Debian's source leaves out the Wintab header of the Windows tablet
        # support; Wine's declarations (libwine-dev, unpacked here only) take its place.
        (cd "$work/dl" && apt-get "${apt_opts[@]}" download libwine-dev) || die "apt-get download libwine-dev"
        dpkg-deb -x "$work"/dl/libwine-dev_*.deb "$work/dl/libwine-dev" || die "dpkg-deb -x libwine-dev"
        wintab="$work/src/src/3rdparty/wintab"
        mkdir -p "$wintab"
        cp "$work/dl/libwine-dev/usr/include/wine/wine/windows/wintab.h" "$wintab/wine_wintab.h" &&
            cp "$work/dl/libwine-dev/usr/include/wine/wine/windows/pktdef.h" "$wintab/" ||
            die "wintab.h et pktdef.h introuvables dans libwine-dev"
        cat >"$wintab/wintab.h" <<'WINTAB'
/* Wintab declarations for Qt's tablet support, from Wine's headers. */
#ifndef QT_WINE_WINTAB_H
#define QT_WINE_WINTAB_H
#include <windows.h>
#ifndef API
#define API WINAPI
#endif
#ifndef WINELIB_NAME_AW
#define WINELIB_NAME_AW(name) name##W
#endif
#ifndef DECL_WINELIB_TYPE_AW
#define DECL_WINELIB_TYPE_AW(type) typedef type##W type;
#endif
#include "wine_wintab.h"
#endif
WINTAB
        touch "$work/src/.unpacked"
    fi
    step "Configuration de Qt $QT_VERSION pour Windows ($QT_PREFIX)"
    cmake -S "$work/src" -B "$work/build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DCMAKE_INSTALL_PREFIX="$QT_PREFIX" "${QT_OPTIONS[@]}" \
        >"$work/configure.log" 2>&1 || die "configuration de Qt (voir $work/configure.log)"
    step "Construction de Qt (un quart d'heure environ sur deux cœurs)"
    # Only what the program loads: the other parts of qtbase (OpenGL modules,
    # Direct2D and minimal platforms, GIF and ICO plugins) are neither built
    # nor installed.
    nice -n 19 cmake --build "$work/build" -j"$JOBS" --target "${QT_TARGETS[@]}" >>"$work/build.log" 2>&1 ||
        die "construction de Qt (voir $work/build.log)"
    (
        cd "$work/build"
        find . -name cmake_install.cmake | sort | while read -r f; do
            case "$f" in
            ./src/opengl/* | ./src/openglwidgets/* | ./src/platformsupport/* | ./src/plugins/imageformats/gif/* | \
                ./src/plugins/imageformats/ico/* | ./src/plugins/platforms/direct2d/* | ./src/plugins/platforms/minimal/*)
                continue
                ;;
            esac
            cmake -DCMAKE_INSTALL_LOCAL_ONLY=ON -P "$f" || exit 1
        done
    ) >"$work/install.log" 2>&1 || die "installation de Qt (voir $work/install.log)"
    touch "$QT_PREFIX/.complete"
    rm -rf "$work"
fi
[ "$QT_ONLY" -eq 0 ] || exit 0

# --- The program, its tests and the portable copy ---------------------------
VERSION=$(sed -n 's/^project(spectro VERSION \([0-9.]*\).*/\1/p' "$ROOT/CMakeLists.txt")
[ -n "$VERSION" ] || die "version du projet introuvable dans CMakeLists.txt"
BUILD="$ROOT/build-windows"
# Where the DLLs of Qt, of the C++ runtime and of the threads library lie.
MINGW_DLL_DIRS=("$QT_PREFIX/bin"
    "$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")"
    "$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libwinpthread-1.dll)")")
export WINEPREFIX="$BUILD/wine"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
WINE=/usr/lib/wine/wine64
[ -x "$WINE" ] || WINE=$(command -v wine64 || command -v wine || true)
[ -n "$WINE" ] || die "wine64 introuvable (paquet wine64)"
WINESERVER=/usr/lib/wine/wineserver
[ -x "$WINESERVER" ] || WINESERVER=$(command -v wineserver || echo wineserver)
winepath=""
for d in "${MINGW_DLL_DIRS[@]}"; do winepath="${winepath:+$winepath;}Z:${d//\//\\}"; done

# Wine runs the cross-built tests; CTest and the test discovery call it
# through this wrapper, which finds Qt's and MinGW's DLLs and turns the
# Windows line ends of their output into Unix ones (test names are read from it).
# Wine keeps the Unix side's QT_* variables from Windows programs and passes
# WINEQT_* as QT_*: the tests' QT_QPA_PLATFORM=offscreen goes through that way.
# Wine's helper processes, started along with the first program of a new
# prefix, inherit its output and keep it open: the output is read from files
# once the program has ended, not from a pipe that would not close.
mkdir -p "$BUILD"
cat >"$BUILD/wine-run.sh" <<WRAP
#!/bin/bash
export WINEPREFIX="$WINEPREFIX" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" WINEPATH='$winepath'
for v in \$(compgen -e); do
    case "\$v" in QT_*) export "WINE\$v=\${!v}" ;; esac
done
out=\$(mktemp) err=\$(mktemp)
"$WINE" "\$@" >"\$out" 2>"\$err"
rc=\$?
tr -d '\r' <"\$out"
tr -d '\r' <"\$err" >&2
rm -f "\$out" "\$err"
exit \$rc
WRAP
chmod +x "$BUILD/wine-run.sh"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    step "Préfixe Wine ($WINEPREFIX)"
    "$WINE" wineboot --init >/dev/null 2>&1 || die "initialisation de Wine (wineboot)"
    # The Windows font the program asks for, played by its metric twin.
    "$WINE" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /t REG_SZ /d 'Liberation Sans' /f \
        >/dev/null 2>&1 || die "police de remplacement d'Arial dans Wine (reg add)"
    /usr/lib/wine/wineserver -w 2>/dev/null || wineserver -w 2>/dev/null || true
fi

step "Outil de rendu des images SVG (construction native)"
# Built like the test tree of the README, so that ccache mostly has it already.
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$ROOT" -B "$BUILD/host" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSPECTRO_TESTS=OFF "${launcher[@]}" \
    >"$BUILD/host.log" 2>&1 || die "configuration native (voir $BUILD/host.log)"
nice cmake --build "$BUILD/host" --target spectro_iconpng spectro spectro_screencheck -j"$JOBS" >>"$BUILD/host.log" 2>&1 ||
    die "construction native de spectro_iconpng (voir $BUILD/host.log)"

step "Compilation croisée du programme et des tests"
cmake -S "$ROOT" -B "$BUILD/win" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DCMAKE_PREFIX_PATH="$QT_PREFIX" \
    -DCMAKE_FIND_ROOT_PATH="$QT_PREFIX" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DQt6HostInfo_DIR=/usr/lib/x86_64-linux-gnu/cmake/Qt6HostInfo \
    -DSPECTRO_QTSVG=OFF -DSPECTRO_SVG_RENDERER="$BUILD/host/packaging/spectro_iconpng" \
    -DSPECTRO_TESTS=$([ "$RUN_TESTS" -eq 1 ] && echo ON || echo OFF) \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$BUILD/wine-run.sh" \
    >"$BUILD/win.log" 2>&1 || die "configuration de la compilation croisée (voir $BUILD/win.log)"
nice cmake --build "$BUILD/win" -j"$JOBS" >>"$BUILD/win.log" 2>&1 ||
    die "compilation croisée (voir $BUILD/win.log)"

if [ "$RUN_UNIT_TESTS" -eq 1 ]; then
    step "Tests sous Wine"
    # SPECTRO_WINE_EXCLUDE: a ctest -E expression of tests to leave out.
    exclude=${SPECTRO_WINE_EXCLUDE-}
    # Qt's offscreen platform reads the fonts of one folder: the ones that
    # the Linux tests measure with.
    rm -rf "$BUILD/fonts" && mkdir -p "$BUILD/fonts"
    ln -s /usr/share/fonts/truetype/liberation/*.ttf /usr/share/fonts/truetype/dejavu/DejaVuSans*.ttf \
        "$BUILD/fonts/" || die "polices Liberation et DejaVu (paquets fonts-liberation, fonts-dejavu-core)"
    fontdir="Z:${BUILD//\//\\}\\fonts"
    # One Wine server for the whole run: otherwise each test program starts
    # Wine's server and services anew, slowly, and now and then one stalls.
    # The server of the test discovery ends first.
    "$WINESERVER" -w 2>/dev/null || true
    "$WINESERVER" -p || die "serveur Wine (wineserver -p)"
    "$BUILD/wine-run.sh" wineboot >/dev/null 2>&1 || true
    (cd "$BUILD/win" && QT_QPA_PLATFORM=offscreen QT_QPA_FONTDIR="$fontdir" ctest -j"$JOBS" --timeout 120 --output-on-failure \
        ${exclude:+-E "$exclude"} >"$BUILD/tests.log" 2>&1) || {
        "$WINESERVER" -k 2>/dev/null || true
        tail -40 "$BUILD/tests.log"
        die "tests sous Wine (voir $BUILD/tests.log)"
    }
    "$WINESERVER" -k 2>/dev/null || true
    "$WINESERVER" -w 2>/dev/null || true
    tail -3 "$BUILD/tests.log"
fi

step "Copie portable"
STAGE_ROOT=$(mktemp -d "$BUILD/stage.XXXXXX")
trap 'rm -rf "$STAGE_ROOT"' EXIT
NAME="spectro-$VERSION-windows-x64"
STAGE="$STAGE_ROOT/$NAME"
cmake --install "$BUILD/win" --prefix "$STAGE" >/dev/null || die "installation dans $STAGE"
mkdir -p "$STAGE/platforms" "$STAGE/styles"
cp "$QT_PREFIX/plugins/platforms/qwindows.dll" "$QT_PREFIX/plugins/platforms/qoffscreen.dll" \
    "$STAGE/platforms/" || die "greffons platforms de Qt"
cp "$QT_PREFIX/plugins/styles/qwindowsvistastyle.dll" "$STAGE/styles/" || die "greffon de style de Qt"
mkdir -p "$STAGE/imageformats"
cp "$QT_PREFIX/plugins/imageformats/qjpeg.dll" "$STAGE/imageformats/" || die "greffon JPEG de Qt"
cp /usr/share/qt6/translations/qtbase_fr.qm "$STAGE/" || die "qtbase_fr.qm (paquet qt6-translations-l10n)"

# The DLLs the program and its plugins load, found by their import tables;
# the ones found in none of Qt's or MinGW's folders belong to Windows.
declare -A seen=()
deps() {
    local dll path d
    for dll in $(x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^\s*DLL Name: //p'); do
        [ -z "${seen[${dll,,}]:-}" ] || continue
        seen[${dll,,}]=1
        for d in "${MINGW_DLL_DIRS[@]}"; do
            path="$d/$dll"
            if [ -f "$path" ]; then
                cp "$path" "$STAGE/"
                deps "$path"
                break
            fi
        done
    done
}
for exe in "$STAGE/spectro.exe" "$STAGE"/platforms/*.dll "$STAGE"/styles/*.dll "$STAGE"/imageformats/*.dll; do
    deps "$exe"
done
find "$STAGE" -name '*.exe' -o -name '*.dll' | xargs x86_64-w64-mingw32-strip --strip-unneeded

# The zip unpacks to one folder that runs as it is.
(cd "$STAGE_ROOT" && zip -qr9 "$NAME.zip" "$NAME") || die "création de $NAME.zip (zip)"

step "Installateur (NSIS)"
LICENSE_FILE="$ROOT/COPYING"
[ -f "$LICENSE_FILE" ] || LICENSE_FILE=/usr/share/common-licenses/GPL-3
[ -f "$LICENSE_FILE" ] || die "texte de la licence introuvable ($ROOT/COPYING, /usr/share/common-licenses/GPL-3)"
# Every file of the portable copy, to install and to uninstall one by one.
(
    cd "$STAGE"
    find . -type d | sort | while read -r d; do
        rel=${d#.}
        rel=${rel#/}
        printf 'SetOutPath "$INSTDIR%s"\n' "${rel:+\\${rel//\//\\}}"
        find "$d" -maxdepth 1 -type f | sort | while read -r f; do
            printf 'File "%s"\n' "$STAGE/${f#./}"
        done
    done
) >"$STAGE_ROOT/files.nsh"
(
    cd "$STAGE"
    find . -type f | sort | while read -r f; do
        rel=${f#./}
        printf 'Delete "$INSTDIR\\%s"\n' "${rel//\//\\}"
    done
    find . -mindepth 1 -type d | sort -r | while read -r d; do
        rel=${d#./}
        printf 'RMDir "$INSTDIR\\%s"\n' "${rel//\//\\}"
    done
) >"$STAGE_ROOT/unfiles.nsh"
SETUP="spectro-$VERSION-setup.exe"
makensis -V2 -DVERSION="$VERSION" -DFILES="$STAGE_ROOT/files.nsh" -DUNFILES="$STAGE_ROOT/unfiles.nsh" \
    -DLICENSE="$LICENSE_FILE" -DICON="$BUILD/win/pictures/spectro.ico" \
    -DOUTFILE="$STAGE_ROOT/$SETUP" "$ROOT/packaging/windows/spectro.nsi" >"$BUILD/nsis.log" 2>&1 ||
    die "makensis (voir $BUILD/nsis.log)"

# --- Under Wine, in a real X server -------------------------------------------
if [ "$RUN_TESTS" -eq 1 ]; then
    step "Vérifications sous Wine (Xvfb)"
    CHECK="$STAGE_ROOT/check"
    mkdir -p "$CHECK/xdg"
    chmod 700 "$CHECK/xdg"
    export XDG_RUNTIME_DIR="$CHECK/xdg"
    display=99
    while [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
    # -noreset: a program connecting while the server resets after the
    # previous one left would be refused its display.
    Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
    XVFB_PID=$!
    trap 'kill "$XVFB_PID" 2>/dev/null; "$BUILD/wine-run.sh" wineboot --end-session >/dev/null 2>&1; rm -rf "$STAGE_ROOT"' EXIT
    export DISPLAY=":$display"
    sleep 2
    # The program itself runs without the build's DLL folders on its path:
    # what it loads comes from its own folder.
    bare() { env -u WINEPATH -u QT_QPA_PLATFORM -u QT_PLUGIN_PATH "$WINE" "$@"; }
    fail=0
    check() {
        local what=$1
        shift
        if "$@" >"$CHECK/out" 2>&1; then
            echo "ok     $what"
        else
            echo "ÉCHEC  $what"
            sed 's/^/       /' "$CHECK/out"
            fail=1
        fi
    }
    # The instrument drawing (beam, solution) and the graph below its buttons
    # (curve), in pixels of the window.
    SHOT_PARTS="8,48,417,129 8,205,417,340"
    # shot NAME REF: waits for the program's window to show what REF shows.
    shot() {
        local name=$1 ref=$2 i
        # A new Wine prefix makes the first start slow. Only the last
        # comparison is reported: the earlier ones saw the trace under way.
        for i in $(seq 1 60); do
            sleep 5
            QT_QPA_PLATFORM=xcb "$BUILD/host/packaging/spectro_screencheck" grab "$CHECK/$name.png" \
                >"$CHECK/last" 2>&1 &&
                QT_QPA_PLATFORM=offscreen "$BUILD/host/packaging/spectro_screencheck" compare "$ref" "$CHECK/$name.png" \
                    $SHOT_PARTS >"$CHECK/last" 2>&1 && {
                cat "$CHECK/last"
                return 0
            }
        done
        cat "$CHECK/last"
        return 1
    }
    # ref NAME ARGS...: the native program's window in the same X server, once
    # it no longer changes (the first trace is over).
    ref() {
        local name=$1 pid i
        shift
        (cd "$CHECK" && exec env SPECTRO_DATA_DIR="$CHECK/data" QT_QPA_PLATFORM=xcb \
            "$BUILD/host/app/spectro" "$@" >/dev/null 2>&1) &
        pid=$!
        rm -f "$CHECK/$name.png"
        for i in $(seq 1 30); do
            sleep 4
            QT_QPA_PLATFORM=xcb "$BUILD/host/packaging/spectro_screencheck" grab "$CHECK/$name.new.png" || continue
            [ "$i" -ge 3 ] && cmp -s "$CHECK/$name.new.png" "$CHECK/$name.png" && break
            mv "$CHECK/$name.new.png" "$CHECK/$name.png"
        done
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
        [ "$i" -lt 30 ]
    }
    cp -r "$ROOT/data" "$CHECK/data"
    cp "$ROOT/data/beer_lambert.C12" "$CHECK/essai.C12"
    ref reference || die "capture de référence du programme natif sous Xvfb"
    ref reference-c12 essai.C12 || die "capture de référence du programme natif (essai.C12) sous Xvfb"

    mkdir -p "$CHECK/portable"
    unzip -q "$STAGE_ROOT/$NAME.zip" -d "$CHECK/portable"
    (cd "$CHECK/portable/$NAME" && bare "$CHECK/portable/$NAME/spectro.exe" >/dev/null 2>&1 &)
    check "copie portable : fenêtre et premier tracé" shot portable "$CHECK/reference.png"
    sed 's/^/       /' "$CHECK/out" | grep -v '^ *ok     RGB(255, 2' || true
    cp "$CHECK/portable.png" "$BUILD/capture-wine.png" 2>/dev/null || true
    "$WINESERVER" -k 2>/dev/null || true
    "$WINESERVER" -w 2>/dev/null || true

    drive_c="$WINEPREFIX/drive_c"
    listing() {
        find "$drive_c" \( -path '*/Temp' -o -path '*/temp' -o -path '*/AppData' -o -path '*/Application Data' \
            -o -path '*/Local Settings' \) -prune -o -print | sort
    }
    listing >"$CHECK/before.txt"
    instdir="$drive_c/Program Files/Spectrophotometrie"
    check "installation silencieuse (/S)" sh -c "'$WINE' '$STAGE_ROOT/$SETUP' /S && '$WINESERVER' -w &&
        test -f '$instdir/spectro.exe' && test -f '$instdir/desinstaller.exe' &&
        test -f '$instdir/platforms/qwindows.dll' && test -f '$instdir/kelvano.PEM'"
    # A second installation over the first, as an update would be.
    check "réinstallation par-dessus une installation existante" sh -c "'$WINE' '$STAGE_ROOT/$SETUP' /S &&
        '$WINESERVER' -w && test -f '$instdir/spectro.exe' && test -f '$instdir/desinstaller.exe'"
    menu="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs"
    check "entrées du menu Démarrer" sh -c "test -f '$menu/Spectrophotométrie.lnk' &&
        test -f '$menu/Spectrophotométrie (vidéoprojecteur).lnk'"
    check "association .C12 et .E35" sh -c "
        '$BUILD/wine-run.sh' reg query 'HKLM\\Software\\Classes\\.C12' | grep -q Spectrophotometrie.Configuration &&
        '$BUILD/wine-run.sh' reg query 'HKLM\\Software\\Classes\\.E35' | grep -q Spectrophotometrie.Exercice &&
        '$BUILD/wine-run.sh' reg query 'HKLM\\Software\\Classes\\Spectrophotometrie.Configuration\\shell\\open\\command' |
            grep -qi 'spectro.exe'"
    (cd "$CHECK" && bare start /unix "$CHECK/essai.C12" >/dev/null 2>&1 &)
    check "un .C12 ouvert par l'association lance le programme installé (capture)" shot installed "$CHECK/reference-c12.png"
    sed 's/^/       /' "$CHECK/out" | grep -v '^ *ok     RGB(255, 2' || true
    cp "$CHECK/installed.png" "$BUILD/capture-wine-c12.png" 2>/dev/null || true
    "$WINESERVER" -k 2>/dev/null || true
    "$WINESERVER" -w 2>/dev/null || true
    check "désinstallation silencieuse" sh -c "'$WINE' '$instdir/desinstaller.exe' /S && sleep 3 && '$WINESERVER' -w && ! test -e '$instdir'"
    listing >"$CHECK/after.txt"
    check "rien ne reste sur le disque" diff "$CHECK/before.txt" "$CHECK/after.txt"
    check "rien ne reste dans le registre" sh -c "
        ! '$BUILD/wine-run.sh' reg query 'HKLM\\Software\\Classes\\.C12' &&
        ! '$BUILD/wine-run.sh' reg query 'HKLM\\Software\\Classes\\Spectrophotometrie.Exercice' &&
        ! '$BUILD/wine-run.sh' reg query 'HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Spectrophotometrie'"
    [ "$fail" -eq 0 ] || die "vérifications sous Wine"
fi

# --- dist/, written only now that everything is there ------------------------
mkdir -p "$ROOT/dist"
mv "$STAGE_ROOT/$NAME.zip" "$ROOT/dist/$NAME.zip.part" && mv "$STAGE_ROOT/$SETUP" "$ROOT/dist/$SETUP.part" &&
    mv "$ROOT/dist/$NAME.zip.part" "$ROOT/dist/$NAME.zip" && mv "$ROOT/dist/$SETUP.part" "$ROOT/dist/$SETUP" ||
    die "écriture dans $ROOT/dist"
ls -l "$ROOT/dist/$NAME.zip" "$ROOT/dist/$SETUP"
