#define _FILE_OFFSET_BITS 64

#include "platform/file_copy.h"
#include "platform/posix/host_path.h"
#include "platform/posix/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace koa::platform {

namespace {

bool WriteAll(int fd, const char* data, ssize_t size) {
    while (size > 0) {
        ssize_t written = write(fd, data, static_cast<size_t>(size));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= written;
    }
    return true;
}

bool CopyContents(int in, int out) {
    char buffer[65536];
    for (;;) {
        ssize_t got = read(in, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return got == 0;
        if (!WriteAll(out, buffer, got))
            return false;
    }
}

// Writes from's contents and permissions into the new file temp.
bool WriteCopy(int in, const std::string& temp) {
    struct stat status;
    if (fstat(in, &status) != 0 || !S_ISREG(status.st_mode))
        return false;
    int out = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (out < 0)
        return false;
    bool copied =
        CopyContents(in, out) && fchmod(out, status.st_mode & 07777) == 0 && fsync(out) == 0;
    return close(out) == 0 && copied;
}

} // namespace

bool SetNormalFileAttributes(const char* path) {
    struct stat status;
    const auto host = HostPath(path);
    return host && stat(host->c_str(), &status) == 0 &&
           chmod(host->c_str(), status.st_mode | S_IWUSR) == 0;
}

bool CopyFileOver(const char* from, const char* to) {
    const auto source = HostPath(from);
    const auto host = HostPath(to);
    if (!source || !host)
        return false;
    const std::string& target = *host;
    const std::string temp = target + ".update";
    int in = OpenRegularFile(*source, kMaxLibraryFileSize);
    if (in < 0)
        return false;
    unlink(temp.c_str());
    bool copied = WriteCopy(in, temp);
    close(in);
    if (copied && rename(temp.c_str(), target.c_str()) == 0)
        return true;
    unlink(temp.c_str());
    return false;
}

} // namespace koa::platform
