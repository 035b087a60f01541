#pragma once

// Replacing a file by a copy of another.

namespace koa::platform {

// As SetFileAttributesA with the normal-file attribute: a read-only file becomes writable.
// False when the file does not exist or cannot be changed. On Linux a symbolic link of that name
// is left alone, and so is the file it points to.
bool SetNormalFileAttributes(const char* path);

// As CopyFileA with fail-if-exists false: to becomes a copy of from, permissions included. On
// Linux the copy is written to a temporary file of its own beside to and renamed over it, while
// holding a lock on the directory that every update takes: to is always a whole file, a failure
// or a process killed half-way leaves it as it was, and a process that has the old file mapped
// keeps it. False when the copy fails.
bool CopyFileOver(const char* from, const char* to);

} // namespace koa::platform
