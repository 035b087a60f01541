#pragma once

// The host process: its executable module, export lookup, and the fatal stop. Like every header
// of src/platform, it names what the library needs; the win32 backend calls the Windows API,
// the posix backend gives the same behaviour on Linux.

namespace koa::platform {

// Module of the host process's executable (never released).
void* HostModule();

// Address of an exported symbol of a loaded module, or null.
void* FindExport(void* module, const char* name);

// Tells the user that the process cannot go on, then ends it with exit status 1.
[[noreturn]] void FatalStop(const char* title, const char* text);

} // namespace koa::platform
