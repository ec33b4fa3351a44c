#!/bin/sh
# Installs the Debian packages the build needs, only those that are missing.
set -e
PKGS="cmake ninja-build g++ qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-translations-l10n
libgl-dev fonts-liberation libgtest-dev libgmock-dev googletest libbenchmark-dev xauth xvfb poppler-utils
dbus-daemon at-spi2-core python3-pyatspi xdotool x11-utils x11-xkb-utils"
MISSING=""
for p in $PKGS; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || MISSING="$MISSING $p"
done
if [ -n "$MISSING" ]; then
    echo "Installation de :$MISSING"
    SUDO=""
    [ "$(id -u)" -eq 0 ] || SUDO="sudo"
    $SUDO apt-get update
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends $MISSING
fi
