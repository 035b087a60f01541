#include "platform/string_resources.h"

#include <windows.h>

// The interface's member, not the macro that picks an A or W function.
#undef LoadString

namespace koa::platform {

namespace {

class LoadedLibrary : public StringResourceFile {
  public:
    explicit LoadedLibrary(HMODULE module) : module_(module) {}
    ~LoadedLibrary() override { FreeLibrary(module_); }
    LoadedLibrary(const LoadedLibrary&) = delete;
    LoadedLibrary& operator=(const LoadedLibrary&) = delete;

    int LoadString(unsigned int id, char* buffer, int size) override {
        return LoadStringA(module_, id, buffer, size);
    }

  private:
    HMODULE module_;
};

} // namespace

std::unique_ptr<StringResourceFile> OpenStringResourceFile(const char* path) {
    HMODULE module = path != nullptr ? LoadLibraryA(path) : nullptr;
    if (module == nullptr)
        return nullptr;
    return std::make_unique<LoadedLibrary>(module);
}

} // namespace koa::platform
