#define _FILE_OFFSET_BITS 64

#include "platform/posix/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace koa::platform {

int OpenRegularFile(const std::string& path, uint64_t maxSize, uint64_t* size) {
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat status;
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size < 0 ||
        static_cast<uint64_t>(status.st_size) > maxSize) {
        close(fd);
        return -1;
    }
    if (size != nullptr)
        *size = static_cast<uint64_t>(status.st_size);
    return fd;
}

bool IsRegularFile(const std::string& path, uint64_t maxSize) {
    struct stat status;
    return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) && status.st_size >= 0 &&
           static_cast<uint64_t>(status.st_size) <= maxSize;
}

uint64_t ReadAt(int fd, uint64_t offset, uint8_t* data, uint64_t length) {
    uint64_t done = 0;
    while (done < length) {
        const ssize_t got = pread(fd, data + done, static_cast<size_t>(length - done),
                                  static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        done += static_cast<uint64_t>(got);
    }
    return done;
}

std::optional<std::vector<uint8_t>> ReadRegularFile(const std::string& path, uint64_t maxSize) {
    uint64_t size = 0;
    const int fd = OpenRegularFile(path, maxSize, &size);
    if (fd < 0)
        return std::nullopt;
    const struct Closer {
        int fd;
        ~Closer() { close(fd); }
    } closer{fd};
    std::optional<std::vector<uint8_t>> bytes(std::in_place, static_cast<size_t>(size));
    if (ReadAt(fd, 0, bytes->data(), size) != size)
        bytes.reset();
    return bytes;
}

} // namespace koa::platform
