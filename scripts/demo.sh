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
# The values are written as for Windows, with backslashes (@SITE@ is the site directory written
# so); the Linux build reads them as the same paths.
site_backslashed=${site//\//\\}
settings=()
while IFS= read -r line; do
    settings+=("${line//@SITE@/"$site_backslashed"}")
done <examples/site/koa_dev.rsc.txt
"$tool" rsc write "$site/koa_dev.rsc" "${settings[@]}"
echo "koa_dev.rsc:"
"$tool" rsc show "$site/koa_dev.rsc"
echo "controllers.txt:"
cat "$site/controllers.txt"

# Runs one koa-dev command in the site and shows it as typed; a failing step is reported and
# the demonstration goes on, so every step's output is seen.
failures=0
step() {
    local title=$1
    shift
    echo
    echo "== $title"
    printf '$ koa-dev --site %q' "$site"
    printf ' %q' "$@"
    echo
    "$tool" --site "$site" "$@" || { echo "(exit status $?)"; failures=$((failures + 1)); }
}

step "The site before the first run" info
step "Connect from the controller list (copies it from Released/ to Local/)" connect
echo "Local/ now holds: $(cd "$site/Local" && echo *)"
step "Identify the device" identify
step "Load the device library" load-device "sample_device.so|gain=2"
step "Refresh a local copy from its released copy" update sample_device.so
step "File versions" version "$site/Local/sample_controller.so" "$site/Local/sample_device.so" \
    "$site/Released/libkoa_dev.so"
step "The site after the first run, with the version report of the loaded libraries" \
    info --controller= --device "sample_device.so|gain=2"
echo
echo "The site stays in $site"
if [ "$failures" -ne 0 ]; then
    echo "$failures step(s) failed" >&2
    exit 1
fi
