#pragma once

// The library's own lock objects, opened once at start-up: the named mutex, the named shared
// memory and its mapped view. They are never closed.
namespace koa::lock {

void* OpenLibraryMutex();
void* OpenLibrarySharedMemory();
// Null when sharedMem is null or cannot be mapped.
void* MapLibraryView(void* sharedMem);

} // namespace koa::lock
