// The configuration read: a resource file written by the project's writer, opened and its
// seven strings loaded, against reading the file's bytes.
#include "platform/string_resources.h"
#include "rsc/string_resource_writer.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr unsigned kIds[] = {1, 2, 3, 4, 5, 100, 101};

// koa_dev.rsc in the temporary directory, removed at exit.
class ResourceFile {
  public:
    ResourceFile() : path_(std::filesystem::temp_directory_path() / "koa_dev_bench.rsc") {
        const koa::rsc::StringSettings settings = {
            {1, u"C:\\Drivers\\Released\\"},    {2, u"C:\\Drivers\\Firmware\\"},
            {3, u"C:\\Drivers\\Profiles\\"},    {4, u"C:\\Drivers\\controllers.txt"},
            {5, u"C:\\Drivers\\revisions.txt"}, {100, u"C:\\Drivers\\Local\\"},
            {101, u"C:\\Drivers\\Menus\\"}};
        const auto bytes = koa::rsc::WriteStringResourceImage(settings, koa::rsc::Machine::I386);
        std::ofstream out(path_, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }
    ~ResourceFile() { std::filesystem::remove(path_); }
    std::string Path() const { return path_.string(); }

  private:
    std::filesystem::path path_;
};

const ResourceFile& File() {
    static const ResourceFile file;
    return file;
}

void LoadConfiguration(benchmark::State& state) {
    const std::string path = File().Path();
    char buffer[256];
    for (auto _ : state) {
        auto file = koa::platform::OpenStringResourceFile(path.c_str());
        if (!file) {
            state.SkipWithError("the resource file cannot be opened");
            break;
        }
        for (unsigned id : kIds)
            benchmark::DoNotOptimize(file->LoadString(id, buffer, sizeof buffer));
    }
}

void ReadFileBaseline(benchmark::State& state) {
    const std::string path = File().Path();
    for (auto _ : state) {
        std::ifstream in(path, std::ios::binary);
        std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
        benchmark::DoNotOptimize(bytes.data());
    }
}

} // namespace

BENCHMARK(ReadFileBaseline)->Name("ResourceFile/baseline")->Unit(benchmark::kMicrosecond);
BENCHMARK(LoadConfiguration)->Name("ResourceFile/open_and_load_7")->Unit(benchmark::kMicrosecond);
