#include "formats/text_encoding.h"

namespace koa::formats {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// The code point starting at text[i]; advances i past it.
char32_t NextCodePoint(std::u16string_view text, size_t& i) {
    const char16_t unit = text[i++];
    if (IsHighSurrogate(unit) && i < text.size() && IsLowSurrogate(text[i])) {
        const char16_t low = text[i++];
        return 0x10000 + ((char32_t{unit} - 0xD800) << 10) + (char32_t{low} - 0xDC00);
    }
    if (IsHighSurrogate(unit) || IsLowSurrogate(unit))
        return kReplacement;
    return unit;
}

std::string Encode(char32_t c) {
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | c >> 18);
        out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

} // namespace

std::string Utf16ToUtf8(std::u16string_view text, size_t maxBytes) {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        const std::string bytes = Encode(NextCodePoint(text, i));
        if (out.size() + bytes.size() > maxBytes)
            break;
        out += bytes;
    }
    return out;
}

} // namespace koa::formats
