#include <koa_dev/koa_dev.h>

#include "modules/module_handles.h"
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
    static void ExpectError(const ErrorCluster& err, LV_int32 code, const char* source) {
        EXPECT_TRUE(err.Status());
        EXPECT_EQ(err.Code(), code);
        EXPECT_STREQ(err.Source().CStr(), source);
    }
};

// The other failures of the lookups show on the loaders' road (controller_road_test.cpp).
TEST_F(ModuleHandles, LookupsReportWhatIsMissing) {
    ErrorCluster noDevice, failed(true, 99, "earlier");
    EXPECT_EQ(GetDeviceFunctionAddress(&noDevice, "LibraryExit"), nullptr);
    ExpectError(noDevice, 15, "Device DLL Not Loaded");
    Load(controllerLibrary, "ctrl_full");
    Load(deviceLibrary, "dev_full");
    EXPECT_EQ(GetControllerFunctionAddress(&failed, "ControllerExit"), nullptr);
    EXPECT_EQ(GetDeviceFunctionAddress(&failed, "LibraryExit"), nullptr);
    ExpectError(failed, 99, "earlier");
}

// Unloading calls the exit functions that exist, the device library's first, and reports
// nothing about those that do not.
TEST_F(ModuleHandles, UnloadCallsTheExitsDeviceFirstAndForgetsEverything) {
    for (const std::string variant : {"full", "minimal"}) {
        SCOPED_TRACE(variant);
        const std::string controller = "ctrl_" + variant, device = "dev_" + variant;
        Load(controllerLibrary, controller);
        Load(deviceLibrary, device);
        ErrorCluster own, failed(true, 99, "earlier");
        if (variant == "full") {
            controllerObject = ExportAs<void* (*)(ErrorCluster*, TString)>(
                GetControllerFunctionAddress(&own, "ControllerObjectPointer"))(&own, "DebugTools");
            ASSERT_NE(controllerObject, nullptr);
            EXPECT_EQ(DebugTools(&own), controllerObject);
            EXPECT_EQ(DebugTools(&failed), nullptr);
        }
        EXPECT_STREQ(ControllerDLL_FileName(true).CStr(), Fixture(controller).c_str());
        EXPECT_EQ(DeviceDLL_FileName(false).CStr(), device + KOA_FIXTURE_SUFFIX);
        TakeLog();

        UnloadDeviceLibrary(&failed);
        UnloadControllerLibrary(&failed);
        EXPECT_NE(deviceLibrary, nullptr);
        EXPECT_TRUE(TakeLog().empty());
        ExpectError(failed, 99, "earlier");

        UnloadControllerLibrary(&own);
        const Lines full = {"dev_full: LibraryExit()", "dev_full: unloaded()",
                            "ctrl_full: ControllerExit()", "ctrl_full: unloaded()"};
        const Lines minimal = {"dev_minimal: unloaded()", "ctrl_minimal: unloaded()"};
        EXPECT_EQ(TakeLog(), variant == "full" ? full : minimal);
        EXPECT_FALSE(own.Status());
        EXPECT_EQ(own.Code(), 0);
        EXPECT_EQ(controllerLibrary, nullptr);
        EXPECT_EQ(deviceLibrary, nullptr);
        EXPECT_EQ(DebugTools(nullptr), nullptr);
        EXPECT_TRUE(ControllerDLL_FileName(true).IsEmpty());
        EXPECT_TRUE(DeviceDLL_FileName(false).IsEmpty());
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
