#pragma once

#include <memory>

namespace koa::platform {

// A library file opened for its string resources: LoadLibraryA on Windows; on Linux the file's
// resource section is read directly.
class StringResourceFile {
  public:
    virtual ~StringResourceFile() = default;

    // As LoadStringA: copies the string stored under id into buffer, at most size - 1 characters
    // (on Linux: bytes of UTF-8, never splitting a character), NUL-terminated. Returns the number
    // copied; 0 when the string is absent or empty.
    virtual int LoadString(unsigned int id, char* buffer, int size) = 0;
};

// Null when the file cannot be loaded as a library (where LoadLibraryA would fail).
std::unique_ptr<StringResourceFile> OpenStringResourceFile(const char* path);

} // namespace koa::platform
