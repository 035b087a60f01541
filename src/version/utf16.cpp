#include "version/utf16.h"

namespace koa::version {

namespace {

constexpr uint32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(uint32_t unit) {
    return unit >= 0xD800 && unit < 0xDC00;
}
bool IsLowSurrogate(uint32_t unit) {
    return unit >= 0xDC00 && unit < 0xE000;
}

void AppendUtf8(std::string& out, uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | code >> 6);
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | code >> 12);
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | code >> 18);
        out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

} // namespace

std::optional<uint64_t> TerminatedUtf16Length(const ByteSpan& bytes, uint64_t offset) {
    for (uint64_t units = 0;; ++units) {
        uint16_t unit = 0;
        if (!bytes.Read(offset + 2 * units, unit))
            return std::nullopt;
        if (unit == 0)
            return units;
    }
}

std::string Utf16ToUtf8(const ByteSpan& bytes, uint64_t offset, uint64_t count) {
    std::string out;
    for (uint64_t i = 0; i < count; ++i) {
        uint16_t unit = 0;
        if (!bytes.Read(offset + 2 * i, unit) || unit == 0)
            break;
        uint32_t code = unit;
        uint16_t next = 0;
        if (IsHighSurrogate(unit) && i + 1 < count && bytes.Read(offset + 2 * (i + 1), next) &&
            IsLowSurrogate(next)) {
            code = 0x10000 + ((code - 0xD800) << 10) + (next - 0xDC00u);
            ++i;
        } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
            code = kReplacement;
        }
        AppendUtf8(out, code);
    }
    return out;
}

} // namespace koa::version
