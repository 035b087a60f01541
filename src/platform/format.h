#pragma once

#include <cstdarg>
#include <cstddef>

namespace koa::platform {

// Formats printf-style into buffer, which has room for size characters and a terminator, with
// the system's bounded formatter. Returns the text's length when it fits in size characters;
// otherwise a number above size when the length is known, or a negative number when it is not.
// Of a text that did not fit, buffer holds what was formatted, perhaps without a terminator.
int FormatText(char* buffer, size_t size, const char* format, va_list args);

} // namespace koa::platform
