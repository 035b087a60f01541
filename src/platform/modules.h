#pragma once

#include <cstddef>
#include <cstdint>

// Loading and releasing library modules, and their file names. Module handles are opaque; a null
// handle names the host process's executable where the functions accept one.

namespace koa::platform {

// Loads a library by path (LoadLibraryA; on Linux dlopen with RTLD_NOW | RTLD_LOCAL, never
// searching the system's library path). Null when it cannot be loaded.
void* LoadLibraryModule(const char* path);

// Releases a module that LoadLibraryModule returned.
void ReleaseModule(void* module);

// As GetModuleFileNameA: copies the file name of module (null: the host executable) into buffer,
// terminated. Returns the number of characters copied. A name of size characters or more is not
// cut to a shorter path, which would name another file: it gives 0 and an empty buffer.
size_t ModuleFileName(void* module, char* buffer, size_t size);

// 32 bits that name the module's file: equal in every process that loads the same file, different
// for different files loaded into one process. On Windows the module handle, which is the image
// base; on Linux drawn from the file's device and inode numbers, since the handle differs in
// every process.
uint32_t ModuleStamp(void* module);

// Called by the library's entry point once the process has attached it, with its own module.
// The library management code defines it.
void LibraryAttached(void* ownModule);

} // namespace koa::platform
