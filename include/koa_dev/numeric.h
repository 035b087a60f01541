#pragma once

#include <koa_dev/export.h>
#include <koa_dev/lv_types.h>

class ErrorCluster;

// The nearest integer of the target type, halves away from zero, saturated to the type's range.
// NaN gives the lower bound.
KOA_DEV_API unsigned char uInt8Round(double x);
KOA_DEV_API char int8Round(double x);
KOA_DEV_API unsigned short uInt16Round(double x);
KOA_DEV_API short int16Round(double x);
KOA_DEV_API LV_uInt32 uInt32Round(double x);
KOA_DEV_API LV_int32 int32Round(double x);

// Waits the given number of milliseconds unless err already holds an error or a fatal code.
// The cluster is never written.
KOA_DEV_API void Sleep(ErrorCluster* err, LV_uInt32 milliseconds);
