#!/usr/bin/env bash
# Builds the benchmarks in Release and runs them. After Google Benchmark's table it prints each
# benchmark's speed relative to its baseline from the same run (1.0 = as fast as the baseline).
# Each benchmark runs three times and its median counts. Extra arguments go to the benchmark
# program, e.g. --benchmark_filter=StateCache.
set -euo pipefail
cd "$(dirname "$0")/.."

if ! dpkg-query -W -f='${Status}' libbenchmark-dev 2>/dev/null | grep -q 'install ok installed'; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
        libbenchmark-dev >/dev/null
fi

dir=build/bench
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKOA_DEV_BENCHMARKS=ON \
    -DKOA_DEV_TESTS=OFF >/dev/null
cmake --build "$dir" --parallel "$(nproc)"
echo "machine: $(nproc) cpus, $(lscpu | sed -n 's/^Model name: *//p' | head -n 1);" \
    "compiler: $(c++ --version | head -n 1); build: Release"
"$dir/bench/koa_dev_bench" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true "$@"
