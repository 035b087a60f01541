#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer)
# and runs each for a bounded time. A target that finds a crash leaves its input under
# build/fuzz/artifacts/ and the script fails.
# Usage: scripts/fuzz.sh [seconds per target, default 20] [target...]
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-20}
shift || true
dir=build/fuzz

CC=clang CXX=clang++ cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKOA_DEV_FUZZ=ON -DKOA_DEV_TESTS=OFF >/dev/null
cmake --build "$dir" --parallel "$(nproc)"

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for exe in "$dir"/fuzz/fuzz_*; do
        targets+=("$(basename "$exe")")
    done
fi

mkdir -p "$dir/artifacts"
for target in "${targets[@]}"; do
    name=${target#fuzz_}
    corpus=$dir/corpus/$name
    mkdir -p "$corpus"
    echo "== $target for ${seconds}s"
    "$dir/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$dir/artifacts/$name-" \
        "$corpus" "$dir/fuzz/seeds/$name" 2>"$dir/$name.log" ||
        { tail -n 60 "$dir/$name.log"; echo "$target failed; see $dir/$name.log"; exit 1; }
    grep -E '^stat::number_of_executed_units|^Done' "$dir/$name.log" || true
done
echo "No fuzz target found a fault."
