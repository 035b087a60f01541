#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Files the library reads, copies or loads are regular files of a sane size. Anything else (a
// directory, a FIFO, a device, a symbolic link that leads nowhere or in a circle) is refused
// before it is read, and the open never waits: a FIFO without a writer would block it for ever.

namespace koa::platform {

// koa_dev.rsc and the controller list, which are read into memory.
inline constexpr uint64_t kMaxDataFileSize = uint64_t{64} << 20;
// Libraries, which are loaded, copied and searched for their version resource.
inline constexpr uint64_t kMaxLibraryFileSize = uint64_t{1} << 30;

// One state of a file: which file it is, its size and the times its contents and its status last
// changed (nanoseconds since the epoch). A file replaced, written or touched has another stamp,
// unless the change falls within the file system's timestamp granularity (see IsSettled).
struct FileStamp {
    uint64_t device = 0, inode = 0, size = 0;
    int64_t modified = 0, changed = 0;
};

bool operator==(const FileStamp& a, const FileStamp& b);

// True when the file's times lie far enough in the past that a later change of the file gives it
// other times, on every file system a site may use (the coarsest keep times to 2 s).
bool IsSettled(const FileStamp& stamp);

// A descriptor of the file at path (in host form), open for reading, with the file's stamp; -1
// unless it is a regular file of at most maxSize bytes.
int OpenRegularFile(const std::string& path, uint64_t maxSize, FileStamp* stamp = nullptr);

// The stamp of the file at path when it is a regular file of at most maxSize bytes (following
// symbolic links, and without opening it).
std::optional<FileStamp> StatRegularFile(const std::string& path, uint64_t maxSize);

inline bool IsRegularFile(const std::string& path, uint64_t maxSize) {
    return StatRegularFile(path, maxSize).has_value();
}

// The whole file at path, a regular file of at most maxSize bytes; nothing for anything else, or
// when it cannot be read. Without the memory for it, std::bad_alloc, as for any other lack of
// memory: the exported operation around the call reports it.
std::optional<std::vector<uint8_t>> ReadRegularFile(const std::string& path, uint64_t maxSize);

// Reads length bytes at offset into data, going on after short reads; the number read, which is
// less only at the end of the file or on an error.
uint64_t ReadAt(int fd, uint64_t offset, uint8_t* data, uint64_t length);

} // namespace koa::platform
