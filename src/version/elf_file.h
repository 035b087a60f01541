#pragma once

#include "config/byte_source.h"
#include "config/byte_view.h"

#include <optional>
#include <string_view>

namespace koa::version {

// True when bytes begin with the ELF magic number.
bool IsElfFile(const config::ByteView& bytes);

// The contents of the section called name in a little-endian ELF file, 32- or 64-bit. Nothing
// when there is none, it occupies no bytes of the file, or the headers are malformed. Only the
// file header, the section table, the section names and the section itself are read.
std::optional<config::ByteView> FindElfSection(config::ByteSource& file, std::string_view name);
std::optional<config::ByteView> FindElfSection(const config::ByteView& file, std::string_view name);

} // namespace koa::version
