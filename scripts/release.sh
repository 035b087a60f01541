#!/usr/bin/env bash
# Builds the release packages into one folder, with a SHA256SUMS file: the Debian package and the
# .tar.gz of the Linux build, and the Windows SDK archives for i686 (the product) and x86_64.
# Release builds without the test suite; scripts/test-all.sh tries the packages of its own builds
# as their users would.
#
#   scripts/release.sh [OUT_DIR]     (default: build/release/packages)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

scripts/install-deps.sh

out=${1:-$root/build/release/packages}
mkdir -p "$out"
out=$(cd "$out" && pwd)
rm -f "$out"/*.deb "$out"/*.tar.gz "$out"/*.zip "$out"/SHA256SUMS

jobs=$(nproc)
build() { # name, then extra configure arguments
    local dir=$root/build/release/$1
    shift
    echo "== $dir"
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKOA_DEV_TESTS=OFF "$@" >/dev/null
    cmake --build "$dir" --parallel "$jobs" >/dev/null
    rm -rf "$dir/packages"
    cpack --config "$dir/CPackConfig.cmake" -B "$dir/packages" >/dev/null
    find "$dir/packages" -maxdepth 1 -type f -exec mv -t "$out" {} +
}

build linux
# The Windows builds write their template site's koa_dev.rsc with the Linux koa-dev.
tool=$root/build/release/linux/tools/koa-dev/koa-dev
build windows-i686 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-i686.cmake \
    -DKOA_DEV_NATIVE_TOOL="$tool"
build windows-x86_64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-x86_64.cmake \
    -DKOA_DEV_NATIVE_TOOL="$tool"

cd "$out"
sha256sum -- *.deb *.tar.gz *.zip >SHA256SUMS
echo "Packages in $out:"
cat SHA256SUMS
