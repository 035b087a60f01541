#include "formats/utf16.h"

#include "formats/text_encoding.h"

#include <cstdint>

namespace koa::formats {

std::optional<uint64_t> TerminatedUtf16Length(const ByteView& bytes, uint64_t offset) {
    for (uint64_t units = 0;; ++units) {
        const auto unit = bytes.U16(offset + 2 * units);
        if (!unit)
            return std::nullopt;
        if (*unit == 0)
            return units;
    }
}

std::string Utf16ToUtf8(const ByteView& bytes, uint64_t offset, uint64_t count) {
    std::u16string units;
    for (uint64_t i = 0; i < count; ++i) {
        const auto unit = bytes.U16(offset + 2 * i);
        if (!unit || *unit == 0)
            break;
        units += static_cast<char16_t>(*unit);
    }
    return Utf16ToUtf8(units, SIZE_MAX);
}

} // namespace koa::formats
