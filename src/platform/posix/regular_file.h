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

// A descriptor of the file at path (in host form), open for reading, with the file's size; -1
// unless it is a regular file of at most maxSize bytes.
int OpenRegularFile(const std::string& path, uint64_t maxSize, uint64_t* size = nullptr);

// True when path names a regular file of at most maxSize bytes (following symbolic links, and
// without opening it).
bool IsRegularFile(const std::string& path, uint64_t maxSize);

// The whole file at path, a regular file of at most maxSize bytes; nothing for anything else, or
// when it cannot be read. Without the memory for it, std::bad_alloc, as for any other lack of
// memory: the exported operation around the call reports it.
std::optional<std::vector<uint8_t>> ReadRegularFile(const std::string& path, uint64_t maxSize);

// Reads length bytes at offset into data, going on after short reads; the number read, which is
// less only at the end of the file or on an error.
uint64_t ReadAt(int fd, uint64_t offset, uint8_t* data, uint64_t length);

} // namespace koa::platform
