#!/usr/bin/env bash
# Builds the library, the koa-dev tool and the sample libraries, lays out a sample site in a
# scratch directory and runs it through koa-dev: the configuration, a controller connected from
# the controller list (copied from the released to the local directory on the way), the device's
# identification, a device library load and the version report.
#
#   scripts/demo.sh [SITE_DIR]     (default: a new directory under /tmp)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

scripts/install-deps.sh

build=$root/build/demo
echo "== Building the library and koa-dev ($build)"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKOA_DEV_TESTS=OFF >/dev/null
cmake --build "$build" --parallel 2 >/dev/null
cmake --install "$build" --prefix "$build/prefix" >/dev/null
echo "== Building the sample libraries against the installed package"
cmake -S examples -B "$build/examples" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -Dkoa_dev_DIR="$build/prefix/lib/cmake/koa_dev" >/dev/null
cmake --build "$build/examples" --parallel 2 >/dev/null
samples=$build/examples/bin
tool=$build/tools/koa-dev/koa-dev

site=${1:-$(mktemp -d /tmp/koa-dev-site.XXXXXX)}
site=$(mkdir -p "$site" && cd "$site" && pwd)
echo "== Laying out the site in $site"
# Released builds go to Released/, under the names the site loads them by; the common library's
# released copy keeps its own file name (koa_dev.dll on Windows, libkoa_dev.so here). Local/ is
# left to the library to create and fill.
mkdir -p "$site"/{Released,Firmware,Profiles,Menus}
cp "$samples/sample_controller.so" "$site/Released/sample_controller.so"
cp "$samples/sample_device.so" "$site/Released/sample_device.so"
cp "$build/prefix/lib/libkoa_dev.so" "$site/Released/libkoa_dev.so"
: >"$site/Menus/revision.txt"
sed 's/\.dll\b/.so/' examples/site/controllers.txt >"$site/controllers.txt"
rm -rf "$site/Local"
mapfile -t settings < <(sed "s|@SITE@|$site|" examples/site/koa_dev.rsc.txt)
"$tool" rsc write "$site/koa_dev.rsc" "${settings[@]}"
echo "koa_dev.rsc:"
"$tool" rsc show "$site/koa_dev.rsc"
echo "controllers.txt:"
cat "$site/controllers.txt"

has_command() {
    "$tool" --help | grep -qE "^  $1( |\$)"
}

# Runs one koa-dev command in the site; a command this build lacks is reported, not fatal.
step() {
    local title=$1 name=$2
    shift 2
    echo
    echo "== $title: koa-dev --site $site $name $*"
    if ! has_command "$name"; then
        echo "koa-dev $name: not yet available in this build"
        return 0
    fi
    "$tool" --site "$site" "$name" "$@" || echo "(koa-dev $name exited with status $?)"
}

step "Configuration" info
step "Connect from the controller list" connect
if [ -e "$site/Local/sample_controller.so" ]; then
    echo "Local/ now holds: $(cd "$site/Local" && echo *)"
fi
step "Identify the device" identify
step "Load the device library" load-device "sample_device.so|gain=2"
step "Version report" version "$site/Local/sample_controller.so" "$site/Released/libkoa_dev.so"
echo
echo "The site stays in $site"
