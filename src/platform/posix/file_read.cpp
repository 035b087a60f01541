#include "platform/file_read.h"
#include "platform/posix/host_path.h"
#include "platform/posix/regular_file.h"

#include <unistd.h>

namespace koa::platform {

std::FILE* OpenFileForReading(const char* path) {
    const auto host = HostPath(path);
    const int fd = host ? OpenRegularFile(*host, kMaxDataFileSize) : -1;
    if (fd < 0)
        return nullptr;
    std::FILE* file = fdopen(fd, "rb");
    if (file == nullptr)
        close(fd);
    return file;
}

} // namespace koa::platform
