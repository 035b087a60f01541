#pragma once

#include "formats/byte_view.h"

#include <optional>

// Compiled resource files (.res): a sequence of entries, each a header (data size, header size,
// type and name as ordinal or UTF-16 string, language, ...) and its data, each padded to 32 bits.
// The file begins with an empty entry of 32 bytes.

namespace koa::formats {

// Rank of a version resource's language when a file holds several: U.S. English first, then
// language-neutral, then any other.
int VersionLanguageRank(uint16_t language);

// True when bytes begin as a compiled resource file does.
bool IsResFile(const ByteView& bytes);

// The data of the version resource (type 16, name 1) of a compiled resource file: the one for
// U.S. English if there is one, else the language-neutral one, else the first. Nothing when
// there is none or the entries are malformed before one is found.
std::optional<ByteView> FindResVersionResource(const ByteView& file);

} // namespace koa::formats
