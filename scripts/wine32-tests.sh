#!/usr/bin/env bash
# Runs a chosen set of the 32-bit Windows test programs (the product's build) under 32-bit Wine,
# on request: on an x86_64 Debian 12 machine whose kernel does not run 32-bit x86 code, 32-bit
# Wine runs only through qemu-i386, each program start costs 35-55 s, and a process with a second
# thread that raises an exception crashes. So only single-threaded programs run, one at a time,
# each with its own timeout. CI does not run this; see the README.
#
# Usage (as root for the first two steps):
#   scripts/wine32-tests.sh setup     install 32-bit Wine (adds the i386 architecture)
#   scripts/wine32-tests.sh binfmt    let the kernel start 32-bit programs through qemu-i386
#                                     (again after every boot)
#   scripts/wine32-tests.sh run [--timeout SECONDS] [--filter GTEST_FILTER] [PROGRAM...]
#                                     build build/windows-i686-wine32 and run the programs
#                                     (default: all of the list below)
#
# Installing 32-bit Wine changes what the wine launcher starts for every program; the 64-bit
# Windows build runs its programs with the 64-bit loader itself and is not affected. With the
# binfmt entry, the 32-bit Linux build runs its programs under qemu-i386 too (it notices).
set -euo pipefail
cd "$(dirname "$0")/.."

# The programs, each a CTest test of that name: the library's unit tests (records through
# LabVIEW handles, resources, the cross-process lock with helper processes), the shared library
# through its exports and loaders, configuration, version resources, module handles and the
# window watch, the window load test, and the koa-dev tool on a sample site (about 45 runs of
# koa-dev.exe: the longest).
programs=(koa_dev_tests koa_dev_client_tests koa_dev_config_tests koa_dev_module_tests
    koa_dev_shared_tests koa_dev_version_tests koa_dev_window_load_tests koa_dev_tool)
# Test cases whose point is several threads of one process: under qemu-i386 threads that run
# together hang, and an exception in a process with a second thread crashes it.
filter='-ResourceLockTest.HoldsFromLockToUnlockAndNestsOnItsThread:NamedLock.*'
timeout=3600
dir=build/windows-i686-wine32
wine32_loader=/usr/lib/wine/wine # Debian's 32-bit loader, which the wine launcher then picks
binfmt=/proc/sys/fs/binfmt_misc

need_root() {
    if [ "$(id -u)" -ne 0 ]; then
        echo "$0 $1: run as root" >&2
        exit 1
    fi
}

# The Multi-Arch libraries of wine32:i386's closure must have the same version on amd64 and
# i386. The i386 index of the security suite may fail to load (apt reports "unexpected size"),
# so the security suite is pinned below the point release for this install, and one library
# that the point release has newer on amd64 is moved to the i386 version.
setup() {
    need_root setup
    scripts/install-deps.sh # qemu-user, wine, wine64 and the compilers
    dpkg --add-architecture i386
    apt-get update || echo "(an index failed to load; continuing with the ones that loaded)"
    local preferences
    preferences=$(mktemp)
    printf 'Package: *\nPin: release l=Debian-Security\nPin-Priority: 100\n' >"$preferences"
    local apt=(-o "Dir::Etc::Preferences=$preferences")
    local extra=() gst=libgstreamer-plugins-base1.0-0 installed version
    installed=$(dpkg-query -W -f='${Version}' "$gst:amd64" 2>/dev/null || true)
    version=$(apt-cache "${apt[@]}" policy "$gst:i386" | sed -n 's/^  Candidate: //p')
    if [ -n "$installed" ] && [ -n "$version" ] && [ "$version" != "$installed" ]; then
        extra+=("$gst:amd64=$version")
    fi
    DEBIAN_FRONTEND=noninteractive apt-get "${apt[@]}" install -y --allow-downgrades \
        --no-install-recommends wine32:i386 "${extra[@]}"
    rm -f "$preferences"
    echo "32-bit Wine installed; now: $0 binfmt"
}

# Registers qemu-i386 for 32-bit x86 ELF executables and shared objects (e_ident: 32-bit,
# little-endian, version 1, any OS ABI; e_type 2 or 3; e_machine 3).
register_binfmt() {
    need_root binfmt
    [ -e "$binfmt/register" ] || mount -t binfmt_misc binfmt_misc "$binfmt"
    if [ -e "$binfmt/qemu-i386" ]; then
        echo "qemu-i386 is registered: $(head -1 "$binfmt/qemu-i386")"
        return
    fi
    local qemu magic mask
    qemu=$(command -v qemu-i386) || {
        echo "qemu-i386 not found (Debian package qemu-user)" >&2
        exit 1
    }
    magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
    mask='\xff\xff\xff\xff\xff\xff\xff\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
    echo ":qemu-i386:M::$magic:$mask:$qemu:F" >"$binfmt/register"
    echo "registered $qemu for 32-bit x86 programs"
}

run() {
    local chosen=()
    while [ $# -gt 0 ]; do
        case "$1" in
        --timeout) timeout=$2 && shift 2 ;;
        --filter) filter=$2 && shift 2 ;;
        -*) echo "unknown option $1" >&2 && exit 2 ;;
        *) chosen+=("$1") && shift ;;
        esac
    done
    [ ${#chosen[@]} -gt 0 ] || chosen=("${programs[@]}")
    if [ ! -x "$wine32_loader" ]; then
        echo "no 32-bit Wine ($wine32_loader): run '$0 setup' as root first" >&2
        exit 1
    fi
    if ! grep -qx enabled "$binfmt/qemu-i386" 2>/dev/null; then
        echo "qemu-i386 is not registered for 32-bit programs: run '$0 binfmt' as root" >&2
        exit 1
    fi
    # The configuration's probe fails (and says so) when this Wine cannot run the programs.
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
        -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-i686.cmake \
        -DKOA_DEV_WINE_TESTS=ON -DKOA_DEV_WINE_TEST_TIMEOUT="$timeout"
    cmake --build "$dir" --parallel "$(nproc)"
    local names
    names=$(IFS='|' && echo "${chosen[*]}")
    GTEST_FILTER=$filter ctest --test-dir "$dir" --output-on-failure -R "^($names)\$"
}

case "${1:-}" in
setup) setup ;;
binfmt) register_binfmt ;;
run) shift && run "$@" ;;
*)
    sed -n '2,/^set -euo/p' "$0" | sed '$d'
    exit 2
    ;;
esac
