#pragma once

#include <koa_dev/error_cluster.h>
#include <koa_dev/export.h>

// An export of a loaded controller or device library, to be converted to its real type.
typedef int (*LibraryFunction)();

// The export called name of the loaded controller library; null (and an error in err) when no
// controller library is loaded or it has no such export. err must not be null.
KOA_DEV_API LibraryFunction GetControllerFunctionAddress(ErrorCluster* err, const char* name);

// The same for the loaded device library.
KOA_DEV_API LibraryFunction GetDeviceFunctionAddress(ErrorCluster* err, const char* name);

// The object the controller library handed out as "DebugTools"; null when there is none or err
// holds an error. err may be null.
KOA_DEV_API void* DebugTools(ErrorCluster* err);
