#include <koa_dev/koa_dev.h>

#include "libraries/module_handles.h"
#include "platform/modules.h"
#include "support/scratch_dir.h"

#include <cstdint>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

// Loads fixture libraries (tests/fixtures) into the process-wide handles as the loaders do.
class ModuleHandles : public ScratchDirTest {
  protected:
    void TearDown() override {
        ErrorCluster clean;
        UnloadControllerLibrary(&clean);
        ScratchDirTest::TearDown();
    }

    static std::string Fixture(const std::string& name) {
        return Host() + "fixtures" KOA_TEST_SEPARATOR + name + KOA_FIXTURE_SUFFIX;
    }
    static void Load(void*& handle, const std::string& name) {
        handle = koa::platform::LoadLibraryModule(Fixture(name).c_str());
        ASSERT_NE(handle, nullptr) << Fixture(name);
    }
};

// Unloading calls the exit functions that exist, the device library's first, and reports nothing
// about those that do not. With an error already in the cluster it unloads nothing.
TEST_F(ModuleHandles, UnloadCallsTheExitsDeviceFirstAndForgetsEverything) {
    for (const std::string variant : {"full", "minimal"}) {
        SCOPED_TRACE(variant);
        Load(controllerLibrary, "ctrl_" + variant);
        Load(deviceLibrary, "dev_" + variant);
        controllerObject = &controllerLibrary;
        ErrorCluster own, failed(true, 99, "earlier");
        UnloadDeviceLibrary(&failed);
        UnloadControllerLibrary(&failed);
        EXPECT_NE(deviceLibrary, nullptr);
        EXPECT_TRUE(TakeLog().empty());

        UnloadControllerLibrary(&own);
        const Lines full = {"dev_full: LibraryExit()", "dev_full: unloaded()",
                            "ctrl_full: ControllerExit()", "ctrl_full: unloaded()"};
        const Lines minimal = {"dev_minimal: unloaded()", "ctrl_minimal: unloaded()"};
        EXPECT_EQ(TakeLog(), variant == "full" ? full : minimal);
        EXPECT_FALSE(own.Status());
        EXPECT_EQ(own.Code(), 0);
        EXPECT_EQ(controllerLibrary, nullptr);
        EXPECT_EQ(deviceLibrary, nullptr);
        EXPECT_EQ(controllerObject, nullptr);
    }
}

#if !defined(_WIN32)
// A bare name is looked for in the working directory only, never on the system's library path.
TEST_F(ModuleHandles, BareNamesAreNotSearchedFor) {
    EXPECT_EQ(koa::platform::LoadLibraryModule("libc.so.6"), nullptr);
    EXPECT_EQ(koa::platform::LoadLibraryModule(""), nullptr);
}
#endif

} // namespace
