#include "platform/host.h"

#include <dlfcn.h>

namespace koa::platform {

void* HostModule() {
    return dlopen(nullptr, RTLD_NOW);
}

void* FindExport(void* module, const char* name) {
    return dlsym(module, name);
}

} // namespace koa::platform
