#include "platform/modules.h"

#include <dlfcn.h>
#include <link.h>

namespace {

// The module that holds this code: the shared library, or the executable it is linked into.
void* OwnModule() {
    Dl_info info;
    link_map* map = nullptr;
    if (dladdr1(reinterpret_cast<void*>(&OwnModule), &info, reinterpret_cast<void**>(&map),
                RTLD_DL_LINKMAP) == 0 ||
        map == nullptr)
        return nullptr;
    if (map->l_name[0] == '\0')
        return dlopen(nullptr, RTLD_NOW);
    // The handle stays valid while the library is loaded; the extra reference is not kept.
    void* own = dlopen(map->l_name, RTLD_NOW | RTLD_NOLOAD);
    if (own != nullptr)
        dlclose(own);
    return own;
}

__attribute__((constructor)) void RecordOwnModule() {
    koa::platform::LibraryAttached(OwnModule());
}

} // namespace
