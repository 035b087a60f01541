#include "platform/host.h"

#include <windows.h>

#include <cstdlib>

namespace koa::platform {

void FatalStop(const char* title, const char* text) {
    MessageBoxA(nullptr, text, title, MB_OK | MB_ICONSTOP | MB_TASKMODAL);
    std::exit(1);
}

} // namespace koa::platform
