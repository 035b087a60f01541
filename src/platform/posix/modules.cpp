#include "platform/modules.h"
#include "platform/posix/host_path.h"
#include "platform/posix/regular_file.h"

#include <dlfcn.h>
#include <link.h>
#include <sys/stat.h>
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

// Spreads the file's identity over all 32 bits (the finaliser of splitmix64), so that files that
// differ in the high bits of their inode numbers get different stamps too.
uint32_t Mix(uint64_t device, uint64_t inode) {
    uint64_t h = inode ^ (device * 0x9e3779b97f4a7c15ULL);
    h = (h ^ (h >> 30)) * 0xbf58476d1ce4e5b9ULL;
    h = (h ^ (h >> 27)) * 0x94d049bb133111ebULL;
    h ^= h >> 31;
    return static_cast<uint32_t>(h ^ (h >> 32));
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

uint32_t ModuleStamp(void* module) {
    std::string name;
    struct stat st;
    if (!NameOf(module, name) || stat(name.c_str(), &st) != 0)
        return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(module));
    const uint32_t stamp = Mix(static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino));
    return stamp != 0 ? stamp : 1; // never the value of a block no one has stamped yet
}

} // namespace koa::platform
