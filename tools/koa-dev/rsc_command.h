#pragma once

#include "command.h"

namespace koa::tool {

// "rsc": writes and shows resource files.
Command RscCommand();

} // namespace koa::tool
