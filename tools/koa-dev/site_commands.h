#pragma once

#include "command.h"

namespace koa::tool {

// "info" (the site as the library sees it) and "update" (UpdateLocalDLL).
std::vector<Command> SiteCommands();

} // namespace koa::tool
