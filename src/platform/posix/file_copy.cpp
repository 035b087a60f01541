#define _FILE_OFFSET_BITS 64

#include "platform/file_copy.h"
#include "platform/posix/host_path.h"
#include "platform/posix/regular_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
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

// An exclusive advisory lock on a directory, held while the object lives: the updates of the
// files in it take turns, in this process and in every other.
class DirectoryLock {
  public:
    explicit DirectoryLock(const std::string& directory)
        : fd_(open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        while (fd_ >= 0 && flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
    ~DirectoryLock() {
        if (fd_ >= 0)
            close(fd_);
    }
    DirectoryLock(const DirectoryLock&) = delete;
    DirectoryLock& operator=(const DirectoryLock&) = delete;

  private:
    int fd_;
};

// A new file of its own beside target, named ".<name>.XXXXXX" with a unique ending; -1 when
// it cannot be created. temp receives its path.
int CreateTemporary(const std::string& target, std::string& temp) {
    const size_t slash = target.rfind('/');
    const size_t name = slash == std::string::npos ? 0 : slash + 1;
    temp = target.substr(0, name) + "." + target.substr(name) + ".XXXXXX";
    return mkostemp(temp.data(), O_CLOEXEC);
}

// Writes in's contents and permissions into out, to the disk.
bool WriteCopy(int in, int out, mode_t mode) {
    return CopyContents(in, out) && fchmod(out, mode & 07777) == 0 && fsync(out) == 0;
}

// The directory of a path, "." for a bare name.
std::string DirectoryOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// Writes the copy to a temporary file of its own in the target's directory and renames it over
// the target, holding the directory's lock: the target is always a whole file, the old one or a
// complete copy, and a process that has the old file mapped keeps it.
bool CopyThroughTemporary(int in, const std::string& target) {
    struct stat status;
    if (fstat(in, &status) != 0)
        return false;
    const DirectoryLock lock(DirectoryOf(target));
    std::string temp;
    const int out = CreateTemporary(target, temp);
    if (out < 0)
        return false;
    bool copied = WriteCopy(in, out, status.st_mode);
    copied = close(out) == 0 && copied && rename(temp.c_str(), target.c_str()) == 0;
    if (!copied)
        unlink(temp.c_str());
    return copied;
}

} // namespace

// Changes the file itself, never what a symbolic link of that name points to.
bool SetNormalFileAttributes(const char* path) {
    const auto host = HostPath(path);
    const int fd =
        host ? open(host->c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC) : -1;
    if (fd < 0)
        return false;
    struct stat status;
    const bool changed = fstat(fd, &status) == 0 && S_ISREG(status.st_mode) &&
                         fchmod(fd, status.st_mode | S_IWUSR) == 0;
    close(fd);
    return changed;
}

bool CopyFileOver(const char* from, const char* to) {
    const auto source = HostPath(from);
    const auto target = HostPath(to);
    const int in = source && target ? OpenRegularFile(*source, kMaxLibraryFileSize) : -1;
    if (in < 0)
        return false;
    const bool copied = CopyThroughTemporary(in, *target);
    close(in);
    return copied;
}

} // namespace koa::platform
