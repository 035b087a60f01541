#pragma once

#include "formats/byte_view.h"

#include <optional>
#include <string>

namespace koa::formats {

// Number of UTF-16 code units before the zero unit that ends the string at offset; nothing when
// the span ends first.
std::optional<uint64_t> TerminatedUtf16Length(const ByteView& bytes, uint64_t offset);

// UTF-8 of at most count little-endian UTF-16 units from offset, ending early at a zero unit or
// at the end of the span. Unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(const ByteView& bytes, uint64_t offset, uint64_t count);

} // namespace koa::formats
