#pragma once

#include "command.h"

namespace koa::tool {

// "connect", "identify" and "load-device": the library's loaders, called as LabVIEW calls them.
std::vector<Command> LibraryCommands();

} // namespace koa::tool
