// LabVIEW array conversions against the copies and manager calls they cannot avoid.
#include "allocation_count.h"

#include <koa_dev/error_cluster.h>
#include <koa_dev/lvhost.h>
#include <koa_dev/tarray.h>
#include <koa_dev/tstring_array.h>

#include "arrays/handle_array.h"
#include "core/lv_manager.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using DoubleArray = TArray<double, 10, LV_float64Array**>;

constexpr int kDoubles = 1000000;
constexpr int kStrings = 10000;

void CountAllocations(benchmark::State& state, uint64_t before) {
    state.counters["allocs"] =
        benchmark::Counter(static_cast<double>(koa::bench::Allocations() - before),
                           benchmark::Counter::kAvgIterations);
}

std::vector<double> Ramp(int n) {
    std::vector<double> values(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        values[static_cast<size_t>(i)] = i * 0.5;
    return values;
}

// Out to a handle that already holds the array's size, then back into a new TArray.
void TArrayRoundTrip(benchmark::State& state) {
    const std::vector<double> values = Ramp(kDoubles);
    const DoubleArray array(values.data(), kDoubles);
    ErrorCluster err;
    LV_float64Array** h = nullptr;
    array.SetLV_Array(&err, &h);
    const uint64_t before = koa::bench::Allocations();
    for (auto _ : state) {
        array.SetLV_Array(&err, &h);
        DoubleArray back(h);
        benchmark::DoNotOptimize(static_cast<const double*>(back));
    }
    CountAllocations(state, before);
    state.SetBytesProcessed(state.iterations() * int64_t{2} * kDoubles * 8);
    lvhost::Dispose(h);
}

// The same bytes copied into the handle and out to a buffer, with one resize.
void TArrayRoundTripBaseline(benchmark::State& state) {
    const std::vector<double> values = Ramp(kDoubles);
    std::vector<double> back(values.size());
    LV_float64Array** h = nullptr;
    NumericArrayResize(koa::kLvFloat64, 1, &h, kDoubles);
    for (auto _ : state) {
        NumericArrayResize(koa::kLvFloat64, 1, &h, kDoubles);
        std::memcpy((*h)->elt, values.data(), kDoubles * sizeof(double));
        (*h)->dimSize = kDoubles;
        std::memcpy(back.data(), (*h)->elt, kDoubles * sizeof(double));
        benchmark::DoNotOptimize(back.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * int64_t{2} * kDoubles * 8);
    lvhost::Dispose(h);
}

std::vector<std::string> ShortStrings() {
    std::vector<std::string> texts;
    for (int i = 0; i < kStrings; ++i)
        texts.push_back("channel " + std::to_string(i));
    return texts;
}

TStringArray ShortStringArray() {
    const std::vector<std::string> texts = ShortStrings();
    std::vector<const char*> pointers;
    for (const std::string& text : texts)
        pointers.push_back(text.c_str());
    return TStringArray(pointers.data(), kStrings);
}

void Dispose(LV_stringArray**& h) {
    koa::arrays::Release(h);
    h = nullptr;
}

// Into a handle that holds as many strings already: every element handle is reused.
void StringArrayReuse(benchmark::State& state) {
    const TStringArray array = ShortStringArray();
    ErrorCluster err;
    LV_stringArray** h = nullptr;
    array.SetLV_Array(&err, &h);
    const uint64_t before = koa::bench::Allocations();
    for (auto _ : state)
        array.SetLV_Array(&err, &h);
    CountAllocations(state, before);
    state.SetItemsProcessed(state.iterations() * kStrings);
    Dispose(h);
}

// Into no handle: the array and every element handle are created (and disposed after).
void StringArrayFresh(benchmark::State& state) {
    const TStringArray array = ShortStringArray();
    ErrorCluster err;
    const uint64_t before = koa::bench::Allocations();
    for (auto _ : state) {
        LV_stringArray** h = nullptr;
        array.SetLV_Array(&err, &h);
        Dispose(h);
    }
    CountAllocations(state, before);
    state.SetItemsProcessed(state.iterations() * kStrings);
}

void WriteString(LStr**& slot, const std::string& text) {
    NumericArrayResize(koa::kLvUInt8, 1, &slot, text.size());
    std::memcpy((*slot)->str, text.data(), text.size());
    (*slot)->cnt = static_cast<int32_t>(text.size());
}

void WriteStrings(LV_stringArray**& h, const std::vector<std::string>& texts, bool fresh) {
    NumericArrayResize(koa::kLvHandleTypeCode, 1, &h, texts.size());
    for (size_t i = 0; i < texts.size(); ++i) {
        if (fresh)
            (*h)->elt[i] = nullptr;
        WriteString((*h)->elt[i], texts[i]);
    }
    (*h)->dimSize = static_cast<int32_t>(texts.size());
}

// The manager calls and copies any writer needs: one resize and one copy per string.
void StringArrayReuseBaseline(benchmark::State& state) {
    const std::vector<std::string> texts = ShortStrings();
    LV_stringArray** h = nullptr;
    WriteStrings(h, texts, true);
    for (auto _ : state)
        WriteStrings(h, texts, false);
    state.SetItemsProcessed(state.iterations() * kStrings);
    Dispose(h);
}

void StringArrayFreshBaseline(benchmark::State& state) {
    const std::vector<std::string> texts = ShortStrings();
    const uint64_t before = koa::bench::Allocations();
    for (auto _ : state) {
        LV_stringArray** h = nullptr;
        WriteStrings(h, texts, true);
        Dispose(h);
    }
    CountAllocations(state, before); // the stand-in's own bookkeeping of new handles
    state.SetItemsProcessed(state.iterations() * kStrings);
}

} // namespace

BENCHMARK(TArrayRoundTripBaseline)->Name("TArrayRoundTrip/baseline")->Unit(benchmark::kMicrosecond);
BENCHMARK(TArrayRoundTrip)->Name("TArrayRoundTrip/double_1M")->Unit(benchmark::kMicrosecond);
BENCHMARK(StringArrayReuseBaseline)
    ->Name("StringArrayReuse/baseline")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(StringArrayReuse)->Name("StringArrayReuse/10k_into_10k")->Unit(benchmark::kMicrosecond);
BENCHMARK(StringArrayFreshBaseline)
    ->Name("StringArrayFresh/baseline")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(StringArrayFresh)->Name("StringArrayFresh/10k_into_none")->Unit(benchmark::kMicrosecond);
