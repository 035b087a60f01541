#include "platform/host.h"

#include <windows.h>

namespace koa::platform {

void* HostModule() {
    return GetModuleHandleA(nullptr);
}

void* FindExport(void* module, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}

} // namespace koa::platform
