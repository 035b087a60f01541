#pragma once

#include "formats/fixed_file_info.h"

#include <cstdint>
#include <string>
#include <vector>

// The version resource of a library file: the file's version block, its fixed part and the
// values of its string tables. The win32 backend calls the Windows version service; the posix
// backend reads the resource from the file itself (a Linux library carries it in a section).

namespace koa::platform {

using formats::FixedFileInfo;

// As GetFileVersionInfoSizeA followed by GetFileVersionInfoA: the version block of the file at
// path. Empty when the file cannot be read or has no version resource.
std::vector<uint8_t> ReadFileVersionBlock(const char* path);

// As VerQueryValueA with the path "\": the fixed part of a block read by ReadFileVersionBlock
// (size bytes at data). False when the block has none, or what it has is not a fixed part (its
// size is wrong). The signature is not checked.
bool QueryFixedFileInfo(const void* data, uint32_t size, FixedFileInfo& info);

// As VerQueryValueA with a string path such as "\StringFileInfo\040904B0\FileVersion", whose
// parts match block keys and value names without regard to case: the value's text, at most
// the length stored with it and up to its terminating zero (in the ANSI code page on Windows,
// UTF-8 elsewhere). False when the path is not found.
bool QueryVersionString(const void* data, uint32_t size, const char* path, std::string& text);

} // namespace koa::platform
