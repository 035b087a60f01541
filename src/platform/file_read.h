#pragma once

#include <cstdio>

// Reading a file as a stream, for the text files the library reads (the controller list).

namespace koa::platform {

// As fopen with mode "rb". On Linux the path follows the Windows rules of files.h, and only a
// regular file of at most 64 MB is opened, without waiting: anything else gives null.
std::FILE* OpenFileForReading(const char* path);

} // namespace koa::platform
