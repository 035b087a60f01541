#define _FILE_OFFSET_BITS 64

#include "platform/posix/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>

namespace koa::platform {

namespace {

int64_t Nanoseconds(const timespec& time) {
    return int64_t{time.tv_sec} * 1000000000 + time.tv_nsec;
}

std::optional<FileStamp> RegularStamp(const struct stat& status, uint64_t maxSize) {
    if (!S_ISREG(status.st_mode) || status.st_size < 0 ||
        static_cast<uint64_t>(status.st_size) > maxSize)
        return std::nullopt;
    return FileStamp{static_cast<uint64_t>(status.st_dev), static_cast<uint64_t>(status.st_ino),
                     static_cast<uint64_t>(status.st_size), Nanoseconds(status.st_mtim),
                     Nanoseconds(status.st_ctim)};
}

} // namespace

bool operator==(const FileStamp& a, const FileStamp& b) {
    return a.device == b.device && a.inode == b.inode && a.size == b.size &&
           a.modified == b.modified && a.changed == b.changed;
}

bool IsSettled(const FileStamp& stamp) {
    constexpr int64_t kGranularity = int64_t{2} * 1000000000;
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    const int64_t latest = std::max(stamp.modified, stamp.changed);
    return latest < Nanoseconds(now) - kGranularity;
}

int OpenRegularFile(const std::string& path, uint64_t maxSize, FileStamp* stamp) {
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat status;
    const auto regular = fstat(fd, &status) == 0 ? RegularStamp(status, maxSize) : std::nullopt;
    if (!regular) {
        close(fd);
        return -1;
    }
    if (stamp != nullptr)
        *stamp = *regular;
    return fd;
}

std::optional<FileStamp> StatRegularFile(const std::string& path, uint64_t maxSize) {
    struct stat status;
    return stat(path.c_str(), &status) == 0 ? RegularStamp(status, maxSize) : std::nullopt;
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
    FileStamp stamp;
    const int fd = OpenRegularFile(path, maxSize, &stamp);
    if (fd < 0)
        return std::nullopt;
    const struct Closer {
        int fd;
        ~Closer() { close(fd); }
    } closer{fd};
    std::optional<std::vector<uint8_t>> bytes(std::in_place, static_cast<size_t>(stamp.size));
    if (ReadAt(fd, 0, bytes->data(), stamp.size) != stamp.size)
        bytes.reset();
    return bytes;
}

} // namespace koa::platform
