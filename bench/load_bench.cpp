// Connecting a controller library end to end (configuration, the connection call, the version
// check against the released copy, and the unload with its exit call) against loading and
// releasing the same file through the platform layer alone (dlopen and dlclose).
#include "modules/module_handles.h"
#include "platform/modules.h"
#include "rsc/string_resource_writer.h"

#include <koa_dev/koa_dev.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

namespace {

namespace fs = std::filesystem;

std::u16string Utf16(const std::string& text) {
    return std::u16string(text.begin(), text.end());
}

// A site in the temporary directory with the controller in Released/ and Local/, and its
// koa_dev.rsc beside this program, where the library looks first; both removed at exit.
class Site {
  public:
    Site()
        : dir_(fs::temp_directory_path() / "koa_dev_bench_site"),
          rsc_(fs::path(LabVIEW_FilePath().CStr()) / "koa_dev.rsc") {
        const fs::path controller = KOA_DEV_BENCH_CONTROLLER;
        for (const char* sub : {"Released", "Local"}) {
            fs::create_directories(dir_ / sub);
            fs::copy_file(controller, dir_ / sub / controller.filename(),
                          fs::copy_options::overwrite_existing);
        }
        local_ = (dir_ / "Local" / controller.filename()).string();
        spec_ = controller.filename().string() + "|bench";
        const std::string root = dir_.string() + "/";
        const koa::rsc::StringSettings settings = {{1, Utf16(root + "Released/")},
                                                   {2, Utf16(root)},
                                                   {3, Utf16(root)},
                                                   {4, Utf16(root + "list.txt")},
                                                   {5, Utf16(root + "revision.txt")},
                                                   {100, Utf16(root + "Local/")}};
        const auto bytes = koa::rsc::WriteStringResourceImage(settings, koa::rsc::Machine::I386);
        std::ofstream(rsc_, std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        ErrorCluster err;
        ReloadCommonDllResourceFile(&err);
        ok_ = !err.Status();
        // A site's libraries were installed well before they are connected; files written in
        // the last two seconds are read afresh every time (their times may not show a change).
        std::this_thread::sleep_for(std::chrono::milliseconds(2100));
    }
    ~Site() {
        std::error_code ignored;
        fs::remove(rsc_, ignored);
        fs::remove_all(dir_, ignored);
    }
    bool Ok() const { return ok_; }
    const std::string& LocalFile() const { return local_; }
    const std::string& Spec() const { return spec_; }

  private:
    fs::path dir_;
    fs::path rsc_;
    std::string local_;
    std::string spec_;
    bool ok_ = false;
};

const Site& TheSite() {
    static const Site site;
    return site;
}

void LoadControllerEndToEnd(benchmark::State& state) {
    const Site& site = TheSite();
    for (auto _ : state) {
        ErrorCluster err;
        benchmark::DoNotOptimize(LoadControllerLibrary(&err, site.Spec().c_str()));
        UnloadControllerLibrary(&err);
        if (!site.Ok() || err.Status()) {
            state.SkipWithError(err.Source().CStr());
            break;
        }
    }
}

void LoadModuleBaseline(benchmark::State& state) {
    const std::string& file = TheSite().LocalFile();
    for (auto _ : state) {
        void* module = koa::platform::LoadLibraryModule(file.c_str());
        if (module == nullptr) {
            state.SkipWithError("the controller library cannot be loaded");
            break;
        }
        koa::platform::ReleaseModule(module);
    }
}

} // namespace

BENCHMARK(LoadModuleBaseline)->Name("ControllerLoad/baseline")->Unit(benchmark::kMicrosecond);
BENCHMARK(LoadControllerEndToEnd)
    ->Name("ControllerLoad/LoadControllerLibrary")
    ->Unit(benchmark::kMicrosecond);
