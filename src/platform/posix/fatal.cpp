#include "platform/host.h"

#include <cstdio>
#include <cstdlib>

namespace koa::platform {

// There is no message box to show: the title and text go to stderr instead.
void FatalStop(const char* title, const char* text) {
    std::fprintf(stderr, "%s: %s\n", title, text);
    std::fflush(stderr);
    std::exit(1);
}

} // namespace koa::platform
