#pragma once

#include "command.h"

namespace koa::tool {

// "new controller" and "new device": write a driver project built against the koa_dev package.
Command NewCommand();

} // namespace koa::tool
