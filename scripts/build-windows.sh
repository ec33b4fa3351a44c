#!/bin/bash
# Cross-builds the program for 64-bit Windows on Debian 12, runs its tests
# under Wine and writes dist/spectro-<version>-windows-x64.zip and
# dist/spectro-<version>-setup.exe.
#
#   scripts/build-windows.sh [--qt-only] [--no-tests]
#
# Qt for Windows is built once from Debian's own qt6-base source package into
# $SPECTRO_WIN_CACHE (default /var/cache/spectro-win), keyed by the Qt version
# and its configure options; later runs reuse it.
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
CACHE=${SPECTRO_WIN_CACHE:-/var/cache/spectro-win}
JOBS=${SPECTRO_WIN_JOBS:-2}
QT_VERSION=6.4.2
QT_SRC_VERSION=6.4.2+dfsg-10
QT_ONLY=0
RUN_TESTS=1
for arg in "$@"; do
    case "$arg" in
    --qt-only) QT_ONLY=1 ;;
    --no-tests) RUN_TESTS=0 ;;
    *)
        echo "usage: $0 [--qt-only] [--no-tests]" >&2
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
PKGS="cmake ninja-build g++ qt6-base-dev qt6-base-dev-tools qt6-translations-l10n
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
# The toolchain file is part of the key: a different compiler set-up means a different Qt.
qt_key=$( (
    echo "$QT_SRC_VERSION"
    printf '%s\n' "${QT_OPTIONS[@]}"
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
        echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $uri bookworm main" >"$work/apt/sources.list"
        apt_opts=(-o Dir::Etc::SourceList="$work/apt/sources.list" -o Dir::Etc::SourceParts=/dev/null
            -o Dir::State::Lists="$work/apt/lists" -o Dir::Cache="$work/apt/cache" -o APT::Sandbox::User=root)
        apt-get "${apt_opts[@]}" update || die "apt-get update ($uri, deb-src)"
        (cd "$work/dl" && apt-get "${apt_opts[@]}" source --download-only "qt6-base=$QT_SRC_VERSION") ||
            die "apt-get source qt6-base=$QT_SRC_VERSION"
        rm -rf "$work/src"
        dpkg-source -x "$work/dl/qt6-base_$QT_SRC_VERSION.dsc" "$work/src" >/dev/null ||
            die "dpkg-source -x qt6-base_$QT_SRC_VERSION.dsc"
        touch "$work/src/.unpacked"
    fi
    step "Configuration de Qt $QT_VERSION pour Windows ($QT_PREFIX)"
    cmake -S "$work/src" -B "$work/build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DCMAKE_INSTALL_PREFIX="$QT_PREFIX" "${QT_OPTIONS[@]}" \
        >"$work/configure.log" 2>&1 || die "configuration de Qt (voir $work/configure.log)"
    step "Construction de Qt (environ une demi-heure sur deux cœurs)"
    nice -n 19 cmake --build "$work/build" -j"$JOBS" >"$work/build.log" 2>&1 ||
        die "construction de Qt (voir $work/build.log)"
    cmake --install "$work/build" >"$work/install.log" 2>&1 || die "installation de Qt (voir $work/install.log)"
    touch "$QT_PREFIX/.complete"
    rm -rf "$work"
fi
[ "$QT_ONLY" -eq 0 ] || exit 0
