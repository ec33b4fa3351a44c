#!/bin/sh
# build.sh run      : installs what is missing, builds and starts the program.
# build.sh test     : installs what is missing, builds and runs the whole test suite.
# build.sh sanitize : the test suite again, built with AddressSanitizer and
#                     UndefinedBehaviorSanitizer: any leak, overflow or undefined
#                     behaviour fails the test that shows it.
# build.sh fuzz [SECONDS [TARGET...]] : builds the libFuzzer targets with clang,
#                     runs each one SECONDS (180 by default) from its corpus and
#                     the test fixtures, and merges what it found, minimised,
#                     back into fuzz/corpus/<target>/.
set -e
cd "$(dirname "$0")/.."
ROOT=$(pwd)
MODE=${1:-run}
"$ROOT/scripts/setup.sh"
JOBS=$(nproc 2>/dev/null || echo 2)

# Sanitizer settings for every run of an instrumented program, the test
# listings made while building included.
sanitizer_options() {
    ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:abort_on_error=1"
    ASAN_OPTIONS="$ASAN_OPTIONS:detect_stack_use_after_return=1:check_initialization_order=1"
    export ASAN_OPTIONS="$ASAN_OPTIONS:strict_init_order=1"
    export UBSAN_OPTIONS="halt_on_error=1:abort_on_error=1:print_stacktrace=1"
    export LSAN_OPTIONS="suppressions=$ROOT/scripts/lsan.supp:print_suppressions=0"
}

case "$MODE" in
run)
    cmake -S "$ROOT" -B "$ROOT/build-release" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DSPECTRO_TESTS=OFF
    cmake --build "$ROOT/build-release" -j "$JOBS"
    exec "$ROOT/build-release/app/spectro"
    ;;
test)
    cmake -S "$ROOT" -B "$ROOT/build-test" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DSPECTRO_TESTS=ON
    cmake --build "$ROOT/build-test" -j "$JOBS"
    cd "$ROOT/build-test"
    QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$JOBS"
    ;;
sanitize)
    sanitizer_options
    cmake -S "$ROOT" -B "$ROOT/build-asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
        -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" -DSPECTRO_SANITIZE=ON -DSPECTRO_TESTS=ON
    cmake --build "$ROOT/build-asan" -j "$JOBS"
    cd "$ROOT/build-asan"
    QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$JOBS"
    ;;
fuzz)
    SECONDS_EACH=${2:-180}
    [ $# -gt 2 ] && shift 2 || set --
    TARGETS=${*:-"recordfile boxes evaluator rtf config exercise"}
    if ! command -v clang++-14 >/dev/null ||
        ! dpkg-query -W -f='${Status}' libclang-rt-14-dev 2>/dev/null |
        grep -q "ok installed"; then
        SUDO=""
        [ "$(id -u)" -eq 0 ] || SUDO="sudo"
        $SUDO apt-get update
        DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends \
            clang-14 libclang-rt-14-dev
    fi
    sanitizer_options
    cmake -S "$ROOT" -B "$ROOT/build-fuzz" -G Ninja -DCMAKE_CXX_COMPILER=clang++-14 \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSPECTRO_FUZZ=ON -DSPECTRO_TESTS=OFF
    for t in $TARGETS; do
        cmake --build "$ROOT/build-fuzz" -j "$JOBS" --target "fuzz_$t"
    done
    for t in $TARGETS; do
        WORK=$(mktemp -d)
        mkdir "$WORK/seeds" "$WORK/corpus" "$WORK/merged"
        case $t in
        recordfile) cp "$ROOT"/data/*.E35 "$ROOT"/data/*.C12 "$ROOT"/data/*.PEM "$WORK/seeds/" ;;
        config) cp "$ROOT"/data/*.C12 "$WORK/seeds/" ;;
        exercise) cp "$ROOT"/data/*.E35 "$ROOT"/data/*.PEM "$WORK/seeds/" ;;
        rtf) cp "$ROOT"/tests/common/fixtures/*.rtf "$ROOT"/data/*.rtf "$WORK/seeds/" ;;
        evaluator | boxes)
            : >"$WORK/seeds/empty"
            n=0
            while IFS= read -r line; do
                n=$((n + 1))
                printf '%s' "$line" >"$WORK/seeds/line$n"
            done <"$ROOT/fuzz/seeds/$t.txt"
            ;;
        esac
        mkdir -p "$ROOT/fuzz/corpus/$t"
        cp "$ROOT/fuzz/corpus/$t"/* "$WORK/corpus/" 2>/dev/null || true
        echo "== fuzz_$t: $SECONDS_EACH s"
        (cd "$WORK" && "$ROOT/build-fuzz/fuzz/fuzz_$t" -max_total_time="$SECONDS_EACH" \
            -max_len=16384 -timeout=20 -rss_limit_mb=4096 -print_final_stats=1 \
            "$WORK/corpus" "$WORK/seeds") >"$WORK/log" 2>&1 || {
            tail -60 "$WORK/log"
            echo "fuzz_$t stopped on a fault; its input is kept in $WORK" >&2
            exit 1
        }
        grep -E '^(stat::|Done )' "$WORK/log" || true
        (cd "$WORK" && "$ROOT/build-fuzz/fuzz/fuzz_$t" -merge=1 -max_len=16384 \
            "$WORK/merged" "$WORK/corpus" "$WORK/seeds") >"$WORK/merge.log" 2>&1
        rm -f "$ROOT/fuzz/corpus/$t"/*
        cp "$WORK/merged"/* "$ROOT/fuzz/corpus/$t/"
        echo "fuzz_$t: $(ls "$ROOT/fuzz/corpus/$t" | wc -l) inputs kept in fuzz/corpus/$t"
        rm -rf "$WORK"
    done
    ;;
*)
    echo "usage: $0 run|test|sanitize|fuzz [SECONDS [TARGET...]]" >&2
    exit 2
    ;;
esac
