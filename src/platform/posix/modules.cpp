#include "platform/modules.h"
#include "platform/posix/host_path.h"
#include "platform/posix/regular_file.h"

#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <climits>
#include <cstring>
#include <string>

namespace koa::platform {

namespace {

// Backslashes separate as they do on Windows; a bare name is taken from the working directory,
// never from the system's library path.
std::optional<std::string> HostLibraryPath(const char* path) {
    auto host = HostPath(path);
    if (host && host->find('/') == std::string::npos)
        host->insert(0, "./");
    return host;
}

std::string ExecutablePath() {
    char path[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path);
    return n > 0 ? std::string(path, static_cast<size_t>(n)) : std::string();
}

// The executable's own entry in the link map has an empty name.
bool NameOf(void* module, std::string& name) {
    if (module == nullptr) {
        name = ExecutablePath();
        return true;
    }
    link_map* map = nullptr;
    if (dlinfo(module, RTLD_DI_LINKMAP, &map) != 0 || map == nullptr)
        return false;
    name = map->l_name[0] != '\0' ? map->l_name : ExecutablePath();
    return true;
}

} // namespace

void* LoadLibraryModule(const char* path) {
    // dlopen waits on a FIFO for ever, and maps whatever it is given: only a regular file of a
    // sane size is handed to it.
    const auto host = HostLibraryPath(path);
    if (!host || !IsRegularFile(*host, kMaxLibraryFileSize))
        return nullptr;
    return dlopen(host->c_str(), RTLD_NOW | RTLD_LOCAL);
}

void ReleaseModule(void* module) {
    if (module != nullptr)
        dlclose(module);
}

size_t ModuleFileName(void* module, char* buffer, size_t size) {
    if (size == 0)
        return 0;
    std::string name;
    if (!NameOf(module, name) || name.size() >= size)
        name.clear();
    std::memcpy(buffer, name.data(), name.size());
    buffer[name.size()] = '\0';
    return name.size();
}

} // namespace koa::platform
