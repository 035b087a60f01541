#pragma once

#include <koa_dev/error_cluster.h>
#include <koa_dev/library_handles.h>

#include <cstdint>

// The modules in play in this process. Written by the entry point, the loaders and the unload
// operations; they take no lock.
extern void* moduleHandle;      // this library's own module
extern void* controllerLibrary; // the loaded controller library, or null
extern void* deviceLibrary;     // the loaded device library, or null
extern void* controllerObject;  // what the controller library gave out as "DebugTools", or null
// Names this library's file, the same in every process that loads it: the lock's owner stamp.
extern uint32_t moduleStamp;

// Calls the device library's "LibraryExit" and releases it. Does nothing when err holds an error.
void UnloadDeviceLibrary(ErrorCluster* err);

// Unloads the device library, then calls the controller library's "ControllerExit" and releases
// it. Does nothing when err holds an error.
void UnloadControllerLibrary(ErrorCluster* err);

// An export as its real type. The detour through void (*)() is the conversion compilers accept
// between unrelated function types without a warning.
template <typename Function> Function ExportAs(LibraryFunction function) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(function));
}
