#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// A mutex and a block of shared memory that every process of the user can reach by name. The
// win32 backend uses kernel mutex and file-mapping objects; the posix backend keeps a robust,
// recursive, process-shared mutex and the block in files of the same names in a directory of
// the user's own in shared memory, and refuses objects that other users could have made or
// changed. Handles are never closed and views never unmapped: the library keeps them for the
// life of the process.

namespace koa::platform {

enum class MutexWait { Acquired, Abandoned, Timeout, Failed };

// Creates the named mutex, not owned, or opens it when another process created it first.
// Null on failure.
void* CreateNamedMutex(const char* name);

// Waits at most `milliseconds` for the mutex. The thread that acquired it owns it and may
// acquire it again; every acquisition needs its own release. Abandoned: its previous owner ended
// while holding it; the mutex is acquired all the same.
MutexWait WaitNamedMutex(void* mutex, uint32_t milliseconds);

// Releases one acquisition. Fails, leaving the mutex as it was, on a thread that does not own it.
bool ReleaseNamedMutex(void* mutex);

// Creates the named block of `size` bytes, zero-filled, or opens it when it exists.
// Null on failure.
void* CreateSharedMemory(const char* name, std::size_t size);

// Maps the whole block into the process. Null on failure.
void* MapSharedMemory(void* sharedMemory);

// Why the object of that name was refused when it was last created or opened, or why a wait on
// it failed, with what the user can do about it; empty when nothing is known (always on Windows,
// where the system keeps the objects).
std::string NamedObjectTrouble(const char* name);

// Frees the name so that a later create starts afresh. On Linux the objects outlive their
// processes; on Windows they end with their last handle and this does nothing.
void RemoveNamedObject(const char* name);

// Makes the user's directory of objects under `directory` instead of the system's shared-memory
// directory, for tests that damage it. Windows has no such directory and ignores it.
void SetNamedObjectRoot(const char* directory);

} // namespace koa::platform
