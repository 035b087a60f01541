#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace koa::formats {

// UTF-16 text as UTF-8 of at most maxBytes bytes: the conversion stops before the first
// character that would not fit whole. A surrogate without its partner becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text, size_t maxBytes);

} // namespace koa::formats
