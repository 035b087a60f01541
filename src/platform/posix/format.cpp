#include "platform/format.h"

#include <cerrno>
#include <climits>
#include <cstdio>

namespace koa::platform {

// glibc reports a text longer than INT_MAX as EOVERFLOW: longer than any size asked for.
int FormatText(char* buffer, size_t size, const char* format, va_list args) {
    errno = 0;
    const int n = std::vsnprintf(buffer, size + 1, format, args);
    return n < 0 && errno == EOVERFLOW ? INT_MAX : n;
}

} // namespace koa::platform
