#include "platform/format.h"

#include <stdio.h>

namespace koa::platform {

// The C runtime's own formatter, as every Windows program has it. (MinGW's C99 formatter builds
// an integer field of any width on the stack, so a huge width overflows the stack.)
int FormatText(char* buffer, size_t size, const char* format, va_list args) {
    return _vsnprintf(buffer, size, format, args);
}

} // namespace koa::platform
