#pragma once

#include "config/byte_view.h"

#include <optional>
#include <string_view>

namespace koa::version {

// True when bytes begin with the ELF magic number.
bool IsElfFile(const config::ByteView& bytes);

// The contents of the section called name in a little-endian ELF file, 32- or 64-bit. Nothing
// when there is none, it occupies no bytes of the file, or the headers are malformed.
std::optional<config::ByteView> FindElfSection(const config::ByteView& file, std::string_view name);

} // namespace koa::version
