#include <koa_dev/error_cluster.h>
#include <koa_dev/numeric.h>

#include "platform/sleep.h"

void Sleep(ErrorCluster* err, uint32_t milliseconds) {
    if (err != nullptr && err->Status())
        return;
    koa::platform::SleepMilliseconds(milliseconds);
}
