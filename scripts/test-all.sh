#!/usr/bin/env bash
# Builds and tests every target: the Linux library (plain, with AddressSanitizer and
# UndefinedBehaviorSanitizer, and 32-bit), the 32-bit Windows product DLL (built and inspected;
# this Wine cannot run 32-bit programs) and the 64-bit Windows build under Wine; then runs each
# fuzz target briefly.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

jobs=$(nproc)
build() { # name, then extra configure arguments
    local dir=build/$1
    shift
    echo "== $dir"
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug "$@" >/dev/null
    cmake --build "$dir" --parallel "$jobs"
    ctest --test-dir "$dir" --output-on-failure --parallel "$jobs"
}

build linux
build linux-sanitize -DKOA_DEV_SANITIZE=ON
build linux-i386 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-linux-i386.cmake
build windows-i686 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-i686.cmake \
    -DKOA_DEV_NATIVE_TOOL="$PWD/build/linux/tools/koa-dev/koa-dev"
build windows-x86_64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-x86_64.cmake \
    -DKOA_DEV_NATIVE_TOOL="$PWD/build/linux/tools/koa-dev/koa-dev"
scripts/fuzz.sh
echo "All builds and test suites passed."
