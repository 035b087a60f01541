#pragma once

#include "formats/byte_source.h"
#include "formats/byte_view.h"

#include <optional>
#include <string_view>

namespace koa::formats {

// True when bytes begin with the ELF magic number.
bool IsElfFile(const ByteView& bytes);

// The contents of the section called name in a little-endian ELF file, 32- or 64-bit. Nothing
// when there is none, it occupies no bytes of the file, or the headers are malformed. Only the
// file header, the section table, the section names and the section itself are read.
std::optional<ByteView> FindElfSection(ByteSource& file, std::string_view name);
std::optional<ByteView> FindElfSection(const ByteView& file, std::string_view name);

} // namespace koa::formats
