// Reading the library's own version resource as the version checks do, against reading the
// file's bytes once: the first time (the file's pieces read and searched) and again (the file
// unchanged since, so the block kept from the first read serves).
#include "formats/version_resource.h"
#include "platform/posix/file_source.h"
#include "platform/posix/regular_file.h"
#include "platform/version_resources.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> FirstRead(const char* path) {
    koa::platform::FileSource file(path, koa::platform::kMaxLibraryFileSize);
    const auto block = koa::formats::FindVersionResource(file);
    return block ? std::vector<uint8_t>(block->Data(), block->Data() + block->Size())
                 : std::vector<uint8_t>();
}

template <std::vector<uint8_t> (*Read)(const char*)> void ReadVersion(benchmark::State& state) {
    const char* path = KOA_DEV_BENCH_LIBRARY;
    for (auto _ : state) {
        const std::vector<uint8_t> block = Read(path);
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
BENCHMARK(ReadVersion<FirstRead>)
    ->Name("VersionResource/read_own_library")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(ReadVersion<koa::platform::ReadFileVersionBlock>)
    ->Name("VersionResource/read_unchanged_again")
    ->Unit(benchmark::kMicrosecond);
