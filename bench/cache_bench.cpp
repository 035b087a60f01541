// State caches: the comparison a driver makes before every device access, and the invalidation
// on a change of lock holder.
#include "allocation_count.h"

#include <koa_dev/error_cluster.h>
#include <koa_dev/state_cache.h>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <memory>

namespace {

void CountAllocations(benchmark::State& state, uint64_t before) {
    state.counters["allocs"] =
        benchmark::Counter(static_cast<double>(koa::bench::Allocations() - before),
                           benchmark::Counter::kAvgIterations);
}

void ValidDouble(benchmark::State& state) {
    StateCache::CacheEnable(true);
    ErrorCluster err;
    Value_StateCache<double> cache;
    cache.Update(&err, 2.5);
    double value = 2.5;
    const uint64_t before = koa::bench::Allocations();
    for (auto _ : state) {
        benchmark::DoNotOptimize(value);
        benchmark::DoNotOptimize(cache.Valid(value));
    }
    CountAllocations(state, before);
}

// The comparison itself, NaN matching anything, as a cache makes it.
void ValidDoubleBaseline(benchmark::State& state) {
    double cached = 2.5;
    double value = 2.5;
    for (auto _ : state) {
        benchmark::DoNotOptimize(cached);
        benchmark::DoNotOptimize(value);
        benchmark::DoNotOptimize(std::isnan(cached) || std::isnan(value) || cached == value);
    }
}

constexpr char kText[] = "SOUR:VOLT:LEV 12.5";

void ValidText(benchmark::State& state) {
    StateCache::CacheEnable(true);
    ErrorCluster err;
    Value_StateCache<TString> cache;
    cache.Update(&err, TString(kText));
    const TString value(kText);
    const uint64_t before = koa::bench::Allocations();
    for (auto _ : state) {
        benchmark::DoNotOptimize(&value);
        benchmark::DoNotOptimize(cache.Valid(value));
    }
    CountAllocations(state, before);
}

void ValidTextBaseline(benchmark::State& state) {
    char cached[sizeof kText];
    char value[sizeof kText];
    std::memcpy(cached, kText, sizeof kText);
    std::memcpy(value, kText, sizeof kText);
    for (auto _ : state) {
        benchmark::DoNotOptimize(&cached[0]);
        benchmark::DoNotOptimize(&value[0]);
        benchmark::DoNotOptimize(std::strcmp(cached, value) == 0);
    }
}

constexpr int kCaches = 100000;

void InvalidateAll(benchmark::State& state) {
    const auto caches = std::make_unique<Value_StateCache<double>[]>(kCaches);
    for (auto _ : state) {
        StateCache::InvalidateAll();
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kCaches);
}

// Clearing one flag in each of as many objects of the same size lying in one array.
void InvalidateAllBaseline(benchmark::State& state) {
    struct Flagged {
        unsigned char bytes[sizeof(Value_StateCache<double>) - 1];
        bool valid;
    };
    const auto objects = std::make_unique<Flagged[]>(kCaches);
    for (auto _ : state) {
        for (int i = 0; i < kCaches; ++i)
            objects[i].valid = false;
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kCaches);
}

} // namespace

BENCHMARK(ValidDoubleBaseline)->Name("ValueStateCacheDouble/baseline");
BENCHMARK(ValidDouble)->Name("ValueStateCacheDouble/Valid");
BENCHMARK(ValidTextBaseline)->Name("ValueStateCacheTString/baseline");
BENCHMARK(ValidText)->Name("ValueStateCacheTString/Valid");
BENCHMARK(InvalidateAllBaseline)->Name("InvalidateAll/baseline")->Unit(benchmark::kMicrosecond);
BENCHMARK(InvalidateAll)->Name("InvalidateAll/100k")->Unit(benchmark::kMicrosecond);
