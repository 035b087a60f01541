#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace koa::rsc {

enum class Machine { I386, X86_64 };

// Strings by string id; ids are those of the Win32 string table, 0 to 65535.
using StringSettings = std::map<uint16_t, std::u16string>;

// The UTF-16 form of UTF-8 text; empty for text that is not well-formed UTF-8.
std::optional<std::u16string> Utf8ToUtf16(std::string_view text);

// A resource-only library image for the given processor holding the strings in a string table
// of the given language (neutral by default). Throws std::length_error for a string longer
// than 65535 UTF-16 units.
std::vector<uint8_t> WriteStringResourceImage(const StringSettings& strings, Machine machine,
                                              uint16_t language = 0);

// The .rsrc section data of such an image, placed at the given address of the image.
std::vector<uint8_t> BuildStringResourceSection(const StringSettings& strings, uint16_t language,
                                                uint32_t sectionRva);

} // namespace koa::rsc
