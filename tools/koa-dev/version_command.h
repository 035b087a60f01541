#pragma once

#include "command.h"

namespace koa::tool {

// "version": shows the version information of library files.
Command VersionCommand();

} // namespace koa::tool
