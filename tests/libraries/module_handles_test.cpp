#include <koa_dev/koa_dev.h>

#include "libraries/module_handles.h"
#include "platform/modules.h"
#include "support/fixture_log.h"

#include <cstdint>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;
using Verify = void (*)(ErrorCluster*, TString, int32_t);
using Initialise = void (*)(ErrorCluster*, TString*, TString, int32_t);
using ObjectPointer = void* (*)(ErrorCluster*, TString);

// Loads fixtures into the process-wide handles as the loaders do, and unloads whatever a test
// left loaded.
class ModuleHandles : public FixtureLogTest {
  protected:
    void TearDown() override {
        ErrorCluster clean;
        UnloadControllerLibrary(&clean);
        FixtureLogTest::TearDown();
    }

    static void LoadController(const char* name) {
        controllerLibrary = koa::platform::LoadLibraryModule(FixturePath(name).c_str());
        ASSERT_NE(controllerLibrary, nullptr) << FixturePath(name);
    }

    static void LoadDevice(const char* name) {
        deviceLibrary = koa::platform::LoadLibraryModule(FixturePath(name).c_str());
        ASSERT_NE(deviceLibrary, nullptr) << FixturePath(name);
    }

    static ErrorCluster Failed() { return ErrorCluster(true, 99, "earlier"); }

    static void ExpectError(const ErrorCluster& err, int32_t code, const char* source) {
        EXPECT_TRUE(err.Status());
        EXPECT_EQ(err.Code(), code);
        EXPECT_STREQ(err.Source().CStr(), source);
    }
};

TEST_F(ModuleHandles, LookupsWithoutLibrariesReportThatNoneIsLoaded) {
    ErrorCluster err;
    EXPECT_EQ(GetControllerFunctionAddress(&err, "ControllerExit"), nullptr);
    ExpectError(err, 15, "Controller DLL Not Loaded");
    ErrorCluster deviceErr;
    EXPECT_EQ(GetDeviceFunctionAddress(&deviceErr, "LibraryExit"), nullptr);
    ExpectError(deviceErr, 15, "Device DLL Not Loaded");
    EXPECT_EQ(DebugTools(nullptr), nullptr);
    EXPECT_TRUE(ControllerDLL_FileName(true).IsEmpty());
    EXPECT_TRUE(DeviceDLL_FileName(false).IsEmpty());
}

TEST_F(ModuleHandles, LookupsFindExportsAndNameMissingOnes) {
    LoadController("ctrl_full");
    LoadDevice("dev_full");
    ErrorCluster warned(false, 3, "a warning");
    EXPECT_NE(GetControllerFunctionAddress(&warned, "ControllerExit"), nullptr);
    EXPECT_NE(GetDeviceFunctionAddress(&warned, "LibraryExit"), nullptr);
    EXPECT_FALSE(warned.Status());

    ErrorCluster err;
    EXPECT_EQ(GetControllerFunctionAddress(&err, "NoSuchExport"), nullptr);
    ExpectError(err, 12, "Controller Function 'NoSuchExport' Not Found in DLL");
    ErrorCluster deviceErr;
    EXPECT_EQ(GetDeviceFunctionAddress(&deviceErr, "NoSuchExport"), nullptr);
    ExpectError(deviceErr, 12, "Device Function 'NoSuchExport' Not Found in Device DLL");

    // An earlier error blocks even a lookup that would succeed, and stays as it was.
    ErrorCluster failed = Failed();
    EXPECT_EQ(GetControllerFunctionAddress(&failed, "ControllerExit"), nullptr);
    EXPECT_EQ(GetDeviceFunctionAddress(&failed, "LibraryExit"), nullptr);
    ExpectError(failed, 99, "earlier");
    ErrorCluster fatal;
    fatal.SetFatal(2);
    EXPECT_EQ(GetDeviceFunctionAddress(&fatal, "NoSuchExport"), nullptr);
    EXPECT_EQ(fatal.Code(), 0);
}

TEST_F(ModuleHandles, LoadedLibrariesAreNamedAsLoaded) {
    LoadController("ctrl_full");
    LoadDevice("dev_minimal");
    EXPECT_STREQ(ControllerDLL_FileName(true).CStr(), FixturePath("ctrl_full").c_str());
    EXPECT_STREQ(ControllerDLL_FileName(false).CStr(), "ctrl_full" KOA_FIXTURE_SUFFIX);
    EXPECT_STREQ(DeviceDLL_FileName(false).CStr(), "dev_minimal" KOA_FIXTURE_SUFFIX);
    EXPECT_STREQ(RemoveFileNameFromPath(DeviceDLL_FileName(true)).CStr(),
                 RemoveFileNameFromPath(ControllerDLL_FileName(true)).CStr());
}

// The fixtures record errors and write strings through the library's classes: both sides must
// use one copy of them.
TEST_F(ModuleHandles, ExportsReceiveTheCallersClusterAndText) {
    LoadController("ctrl_fails");
    LoadDevice("dev_full");
    ErrorCluster err;
    auto verify = ExportAs<Verify>(GetControllerFunctionAddress(&err, "VerifyControllerConnected"));
    ASSERT_NE(verify, nullptr);
    verify(&err, TString("port 2"), 0);
    ExpectError(err, 5000, "ctrl_fails: controller not connected");

    ErrorCluster clean;
    TString result;
    auto initialise = ExportAs<Initialise>(GetDeviceFunctionAddress(&clean, "LibraryInitilize"));
    ASSERT_NE(initialise, nullptr);
    initialise(&clean, &result, TString("a|b"), 0);
    EXPECT_FALSE(clean.Status());
    EXPECT_STREQ(result.CStr(), "dev_full ready: a|b");
    EXPECT_EQ(TakeLog(), (Lines{"ctrl_fails: VerifyControllerConnected(port 2)",
                                "dev_full: LibraryInitilize(a|b)"}));
}

TEST_F(ModuleHandles, DebugToolsHandsOutTheControllerObjectUntilRelease) {
    LoadController("ctrl_full");
    ErrorCluster own;
    auto pointer =
        ExportAs<ObjectPointer>(GetControllerFunctionAddress(&own, "ControllerObjectPointer"));
    ASSERT_NE(pointer, nullptr);
    controllerObject = pointer(&own, TString("DebugTools"));
    ASSERT_NE(controllerObject, nullptr);

    ErrorCluster clean;
    ErrorCluster failed = Failed();
    EXPECT_EQ(DebugTools(nullptr), controllerObject);
    EXPECT_EQ(DebugTools(&clean), controllerObject);
    EXPECT_EQ(DebugTools(&failed), nullptr);
    UnloadControllerLibrary(&clean);
    EXPECT_EQ(DebugTools(nullptr), nullptr);
}

TEST_F(ModuleHandles, UnloadCallsExitsDeviceFirstThenReleases) {
    LoadController("ctrl_full");
    LoadDevice("dev_full");
    ErrorCluster err;
    UnloadControllerLibrary(&err);
    EXPECT_FALSE(err.Status());
    EXPECT_EQ(err.Code(), 0);
    EXPECT_EQ(controllerLibrary, nullptr);
    EXPECT_EQ(deviceLibrary, nullptr);
    EXPECT_EQ(TakeLog(), (Lines{"dev_full: LibraryExit()", "dev_full: unloaded()",
                                "ctrl_full: ControllerExit()", "ctrl_full: unloaded()"}));
    UnloadControllerLibrary(&err); // nothing left to unload
    EXPECT_TRUE(TakeLog().empty());
}

TEST_F(ModuleHandles, MissingExitFunctionsAreNotReported) {
    LoadController("ctrl_minimal");
    LoadDevice("dev_minimal");
    ErrorCluster err;
    UnloadDeviceLibrary(&err);
    EXPECT_EQ(deviceLibrary, nullptr);
    EXPECT_NE(controllerLibrary, nullptr);
    EXPECT_EQ(TakeLog(), Lines{"dev_minimal: unloaded()"});
    UnloadControllerLibrary(&err);
    EXPECT_EQ(controllerLibrary, nullptr);
    EXPECT_EQ(TakeLog(), Lines{"ctrl_minimal: unloaded()"});
    EXPECT_FALSE(err.Status());
    EXPECT_EQ(err.Code(), 0);
}

TEST_F(ModuleHandles, UnloadWithAnErrorUnloadsNothing) {
    LoadController("ctrl_full");
    LoadDevice("dev_full");
    void* const controller = controllerLibrary;
    void* const device = deviceLibrary;
    ErrorCluster failed = Failed();
    UnloadDeviceLibrary(&failed);
    UnloadControllerLibrary(&failed);
    EXPECT_EQ(controllerLibrary, controller);
    EXPECT_EQ(deviceLibrary, device);
    EXPECT_TRUE(TakeLog().empty());
    ExpectError(failed, 99, "earlier");
}

} // namespace
