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
echo "== All tests passed"
