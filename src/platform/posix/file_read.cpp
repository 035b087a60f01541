#include "platform/file_read.h"
#include "platform/posix/host_path.h"

namespace koa::platform {

std::FILE* OpenFileForReading(const char* path) {
    const auto host = HostPath(path);
    if (!host)
        return nullptr;
    return std::fopen(host->c_str(), "rb");
}

} // namespace koa::platform
