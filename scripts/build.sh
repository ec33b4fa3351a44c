#!/bin/sh
# build.sh run   : installs what is missing, builds and starts the program.
# build.sh test  : installs what is missing, builds and runs the whole test suite.
set -e
cd "$(dirname "$0")/.."
ROOT=$(pwd)
MODE=${1:-run}
"$ROOT/scripts/setup.sh"
JOBS=$(nproc 2>/dev/null || echo 2)
case "$MODE" in
run)
    cmake -S "$ROOT" -B "$ROOT/build-release" -G Ninja -DCMAKE_BUILD_TYPE=Release -DSPECTRO_TESTS=OFF
    cmake --build "$ROOT/build-release" -j "$JOBS"
    exec "$ROOT/build-release/app/spectro"
    ;;
test)
    cmake -S "$ROOT" -B "$ROOT/build-test" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSPECTRO_TESTS=ON
    cmake --build "$ROOT/build-test" -j "$JOBS"
    cd "$ROOT/build-test"
    QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$JOBS"
    ;;
*)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
