#pragma once

#include "command.h"

#include <filesystem>
#include <optional>

namespace koa::tool {

// "--site DIR", anywhere before "--": runs the tool as the host program of the site in DIR, the
// directory that holds its koa_dev.rsc. The library looks for koa_dev.rsc beside the host
// executable and resolves relative configured paths against that directory, so the tool places
// a copy of itself in DIR (a hard link where the file system allows), and the common library it
// runs with beside it, and runs the copy with the other arguments. Removes the option from args.
// Returns the copy's exit code, or nothing when the option was not given or DIR already is the
// tool's own directory.
std::optional<int> RunInSite(Arguments& args, Streams& streams);

// The tool's own executable file.
std::filesystem::path ToolExecutable();

} // namespace koa::tool
