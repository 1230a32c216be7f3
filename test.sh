#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors, runs every test headless, then again
# under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")"
./tools/install-deps.sh
jobs=$(nproc)
# A compiler cache, where the machine has one, makes the second build of the same sources cheap.
if command -v ccache >/dev/null 2>&1; then
    export CMAKE_CXX_COMPILER_LAUNCHER=ccache CMAKE_C_COMPILER_LAUNCHER=ccache
fi

run_suite() {
    local dir=$1
    shift
    cmake -S . -B "$dir" -DQUORVEL_WERROR=ON "$@" >/dev/null
    cmake --build "$dir" -j"$jobs"
    ctest --test-dir "$dir" --output-on-failure -j"$jobs"
}

echo "== Build and test (warnings as errors)"
run_suite build/test -DCMAKE_BUILD_TYPE=Debug
echo "== Debian package (from the build just tested)"
./tools/check-package.sh build/test
echo "== Build and test (AddressSanitizer, UndefinedBehaviorSanitizer)"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
run_suite build/asan -DCMAKE_BUILD_TYPE=Debug -DQUORVEL_SANITIZE=ON
echo "== Fuzzing harnesses (bounded runs from the committed corpus)"
(
    export CC=clang CXX=clang++
    cmake -S . -B build/fuzz -DQUORVEL_WERROR=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVEL_FUZZ=ON >/dev/null
    cmake --build build/fuzz -j"$jobs" --target fuzzers
)
work=$(mktemp -d)
mkdir -p "$work/locale"
trap 'rm -rf "$work"' EXIT
root=$PWD
# run_fuzzer <harness> <label>: a bounded run from a copy of the committed corpus; the drawing
# harness is the slow one, so the time cap keeps the whole step within about a minute and a half.
run_fuzzer() {
    local name=$1 dir="$work/$2"
    # The run adds to a copy of the corpus and writes any crash input there, never into the tree.
    mkdir -p "$dir/corpus"
    cp "tests/fuzz/corpus/$name/"* "$dir/corpus/"
    echo "-- $2"
    if ! (cd "$dir" && "$root/build/fuzz/bin/$name" -runs=20000 -max_total_time=20 -artifact_prefix="$dir/" corpus \
        >log 2>&1); then
        tail -n 40 "$dir/log"
        echo "$2 found a fault; its input is kept in $dir"
        trap - EXIT
        exit 1
    fi
    tail -n 1 "$dir/log"
}
for harness in tests/fuzz/corpus/*/; do
    run_fuzzer "$(basename "$harness")" "$(basename "$harness")"
done
# Numbers must not follow the environment's locale: once more under one with a decimal comma.
if localedef -i de_DE -f UTF-8 "$work/locale/de_DE.UTF-8" >/dev/null 2>&1 ||
    [ -d "$work/locale/de_DE.UTF-8" ]; then
    LOCPATH="$work/locale" LC_ALL=de_DE.UTF-8 run_fuzzer fuzz_numeric fuzz_numeric_comma_locale
fi
echo "== All tests passed"
