// Reading the library's own version resource as the version checks do, against reading the
// file's bytes once.
#include "platform/version_resources.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

void ReadVersion(benchmark::State& state) {
    const char* path = KOA_DEV_BENCH_LIBRARY;
    for (auto _ : state) {
        const std::vector<uint8_t> block = koa::platform::ReadFileVersionBlock(path);
        const auto size = static_cast<uint32_t>(block.size());
        koa::platform::FixedFileInfo info{};
        std::string text;
        if (size == 0 || !koa::platform::QueryFixedFileInfo(block.data(), size, info) ||
            !koa::platform::QueryVersionString(block.data(), size,
                                               "\\StringFileInfo\\040904B0\\FileVersion", text)) {
            state.SkipWithError("the library's version resource cannot be read");
            break;
        }
        benchmark::DoNotOptimize(info.fileVersionMS);
        benchmark::DoNotOptimize(text.data());
    }
}

void ReadFileBaseline(benchmark::State& state) {
    for (auto _ : state) {
        std::FILE* file = std::fopen(KOA_DEV_BENCH_LIBRARY, "rb");
        std::fseek(file, 0, SEEK_END);
        std::vector<char> bytes(static_cast<size_t>(std::ftell(file)));
        std::fseek(file, 0, SEEK_SET);
        benchmark::DoNotOptimize(std::fread(bytes.data(), 1, bytes.size(), file));
        std::fclose(file);
    }
}

} // namespace

BENCHMARK(ReadFileBaseline)->Name("VersionResource/baseline")->Unit(benchmark::kMicrosecond);
BENCHMARK(ReadVersion)->Name("VersionResource/read_own_library")->Unit(benchmark::kMicrosecond);
