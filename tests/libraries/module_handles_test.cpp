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

// With an error already in the cluster nothing is unloaded; without, the device library goes
// first, and the controller object with the controller library.
TEST_F(ModuleHandles, UnloadWithAnErrorDoesNothingAndOtherwiseForgetsEverything) {
    Load(controllerLibrary, "ctrl_full");
    Load(deviceLibrary, "dev_full");
    controllerObject = &controllerLibrary;
    ErrorCluster own, failed(true, 99, "earlier");
    UnloadDeviceLibrary(&failed);
    UnloadControllerLibrary(&failed);
    EXPECT_TRUE(TakeLog().empty());
    UnloadControllerLibrary(&own);
    EXPECT_EQ(TakeLog(), (Lines{"dev_full: LibraryExit()", "dev_full: unloaded()",
                                "ctrl_full: ControllerExit()", "ctrl_full: unloaded()"}));
    EXPECT_FALSE(own.Status());
    EXPECT_TRUE(controllerLibrary == nullptr && deviceLibrary == nullptr &&
                controllerObject == nullptr);
}

#if !defined(_WIN32)
// A bare name is looked for in the working directory only, never on the system's library path.
TEST_F(ModuleHandles, BareNamesAreNotSearchedFor) {
    EXPECT_EQ(koa::platform::LoadLibraryModule("libc.so.6"), nullptr);
    EXPECT_EQ(koa::platform::LoadLibraryModule(""), nullptr);
}
#endif

} // namespace
