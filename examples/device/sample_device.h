#pragma once

// The LabVIEW-facing functions of the sample device library, as a LabVIEW Call Library
// Function node calls them (C calling convention). Each returns the LabVIEW memory manager error
// of writing its outputs, 0 when there was none.
#include <koa_dev/koa_dev.h>

#include "sample_export.h"

// Multiplies every value by the device's gain and by factor. errorIO is the error cluster wired
// in and out; scaled is the output array's handle pointer.
SAMPLE_EXPORT LV_int32 SampleDevice_Scale(LV_ErrorCluster* errorIO, LV_float64Array** values,
                                          double factor, LV_float64Array*** scaled);

// One line per channel name, "<name> = <reading>", joined into report.
SAMPLE_EXPORT LV_int32 SampleDevice_Report(LV_ErrorCluster* errorIO, LV_stringArray** channels,
                                           LStr*** report);
