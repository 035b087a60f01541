#include "platform/modules.h"

#include <windows.h>

namespace koa::platform {

void* LoadLibraryModule(const char* path) {
    return LoadLibraryA(path);
}

void ReleaseModule(void* module) {
    if (module != nullptr)
        FreeLibrary(static_cast<HMODULE>(module));
}

size_t ModuleFileName(void* module, char* buffer, size_t size) {
    if (size == 0)
        return 0;
    // A name cut to the buffer (the result is then the buffer's size) is not given.
    size_t n = GetModuleFileNameA(static_cast<HMODULE>(module), buffer, static_cast<DWORD>(size));
    if (n >= size)
        n = 0;
    buffer[n] = '\0';
    return n;
}

uint32_t ModuleStamp(void* module) {
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(module));
}

} // namespace koa::platform
