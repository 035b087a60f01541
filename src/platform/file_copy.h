#pragma once

// Replacing a file by a copy of another.

namespace koa::platform {

// As SetFileAttributesA with the normal-file attribute: a read-only file becomes writable.
// False when the file does not exist or cannot be changed.
bool SetNormalFileAttributes(const char* path);

// As CopyFileA with fail-if-exists false: to becomes a copy of from, permissions included. On
// Linux the copy is written beside to and renamed over it, so a failure leaves to as it was and
// a process that has the old file mapped keeps it. False when the copy fails.
bool CopyFileOver(const char* from, const char* to);

} // namespace koa::platform
