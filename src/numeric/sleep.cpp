#include <koa_dev/error_cluster.h>
#include <koa_dev/numeric.h>

#include "platform/sleep.h"

void Sleep(ErrorCluster* err, LV_uInt32 milliseconds) {
    if (err != nullptr && err->Status())
        return;
    koa::platform::SleepMilliseconds(milliseconds);
}
