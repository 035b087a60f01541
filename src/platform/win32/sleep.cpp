#include "platform/sleep.h"

#include <windows.h>

namespace koa::platform {

void SleepMilliseconds(uint32_t milliseconds) {
    ::Sleep(milliseconds);
}

} // namespace koa::platform
