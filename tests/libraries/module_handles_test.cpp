#include <koa_dev/koa_dev.h>

#include "modules/module_handles.h"
#include "platform/modules.h"
#include "support/scratch_dir.h"

#include <cstdint>
#include <string>
#include <vector>

namespace {

#if !defined(_WIN32)
// A bare name is looked for in the working directory only, never on the system's library path.
TEST(ModuleHandles, BareNamesAreNotSearchedFor) {
    EXPECT_EQ(koa::platform::LoadLibraryModule("libc.so.6"), nullptr);
    EXPECT_EQ(koa::platform::LoadLibraryModule(""), nullptr);
}
#endif

} // namespace
