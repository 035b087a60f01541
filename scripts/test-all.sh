#!/usr/bin/env bash
# Builds and tests every target: the Linux library (plain, with AddressSanitizer and
# UndefinedBehaviorSanitizer, 32-bit, and 32-bit with the 32-bit Windows record packing), the
# 32-bit Windows product DLL (built and inspected; its programs run under 32-bit Wine only on
# request, see scripts/wine32-tests.sh) and the 64-bit Windows build under Wine; then runs each
# fuzz target briefly. Ends with the number of tests each build ran.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

jobs=$(nproc)
counts=()
build() { # name, then extra configure arguments
    local dir=build/$1
    shift
    echo "== $dir"
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug "$@" >/dev/null
    cmake --build "$dir" --parallel "$jobs"
    ctest --test-dir "$dir" --output-on-failure --parallel "$jobs" | tee "$dir/ctest.log"
    counts+=("$dir: $(grep -E 'tests passed|No tests were found' "$dir/ctest.log")")
}
# Fails unless the build registered tests with the label: a suite that cannot run must not pass
# by running nothing.
require_tests() { # build name, label
    local registered
    registered=$(ctest --test-dir "build/$1" -N -L "$2" | sed -n 's/^Total Tests: //p')
    if [ "${registered:-0}" -eq 0 ]; then
        echo "build/$1 registered no '$2' tests" >&2
        exit 1
    fi
    counts+=("build/$1: $registered of them under Wine")
}

build linux
build linux-sanitize -DKOA_DEV_SANITIZE=ON
build linux-i386 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-linux-i386.cmake
build linux-i386-packed -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-linux-i386.cmake \
    -DKOA_DEV_LV_PACKED=ON
build windows-i686 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-i686.cmake -DKOA_DEV_WINE_TESTS=OFF \
    -DKOA_DEV_NATIVE_TOOL="$PWD/build/linux/tools/koa-dev/koa-dev"
build windows-x86_64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-x86_64.cmake -DKOA_DEV_WINE_TESTS=ON \
    -DKOA_DEV_NATIVE_TOOL="$PWD/build/linux/tools/koa-dev/koa-dev"
require_tests windows-x86_64 wine
scripts/fuzz.sh
echo "All builds and test suites passed."
printf '%s\n' "${counts[@]}"
