#include <koa_dev/koa_dev.h>

#include "libraries/module_handles.h"
#include "platform/modules.h"
#include "support/scratch_dir.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

// Loads fixture libraries (tests/fixtures) into the process-wide handles as the loaders do, and
// reads the log in which they record their calls.
class ModuleHandles : public ScratchDirTest {
  protected:
    void SetUp() override {
        ScratchDirTest::SetUp();
#if defined(_WIN32)
        _putenv_s("KOA_DEV_FIXTURE_LOG", (Dir() + "log").c_str());
#else
        setenv("KOA_DEV_FIXTURE_LOG", (Dir() + "log").c_str(), 1);
#endif
    }
    void TearDown() override {
        ErrorCluster clean;
        UnloadControllerLibrary(&clean);
        ScratchDirTest::TearDown();
    }

    Lines TakeLog() {
        Lines lines;
        std::ifstream in(Dir() + "log");
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        in.close();
        std::filesystem::remove(Dir() + "log");
        return lines;
    }

    static std::string Fixture(const char* name) {
        return Host() + "fixtures" KOA_TEST_SEPARATOR + name + KOA_FIXTURE_SUFFIX;
    }
    static void Load(void*& handle, const char* name) {
        handle = koa::platform::LoadLibraryModule(Fixture(name).c_str());
        ASSERT_NE(handle, nullptr) << Fixture(name);
    }
    static void ExpectError(const ErrorCluster& err, int32_t code, const char* source) {
        EXPECT_TRUE(err.Status());
        EXPECT_EQ(err.Code(), code);
        EXPECT_STREQ(err.Source().CStr(), source);
    }
};

TEST_F(ModuleHandles, LookupsReportWhatIsMissing) {
    ErrorCluster noController, noDevice;
    EXPECT_EQ(GetControllerFunctionAddress(&noController, "ControllerExit"), nullptr);
    ExpectError(noController, 15, "Controller DLL Not Loaded");
    EXPECT_EQ(GetDeviceFunctionAddress(&noDevice, "LibraryExit"), nullptr);
    ExpectError(noDevice, 15, "Device DLL Not Loaded");

    Load(controllerLibrary, "ctrl_full");
    Load(deviceLibrary, "dev_full");
    ErrorCluster warned(false, 3, "a warning");
    EXPECT_NE(GetControllerFunctionAddress(&warned, "ControllerExit"), nullptr);
    EXPECT_NE(GetDeviceFunctionAddress(&warned, "LibraryExit"), nullptr);
    EXPECT_FALSE(warned.Status());
    ErrorCluster controllerErr, deviceErr;
    EXPECT_EQ(GetControllerFunctionAddress(&controllerErr, "Nope"), nullptr);
    ExpectError(controllerErr, 12, "Controller Function 'Nope' Not Found in DLL");
    EXPECT_EQ(GetDeviceFunctionAddress(&deviceErr, "Nope"), nullptr);
    ExpectError(deviceErr, 12, "Device Function 'Nope' Not Found in Device DLL");

    ErrorCluster failed(true, 99, "earlier"), fatal;
    fatal.SetFatal(2);
    EXPECT_EQ(GetControllerFunctionAddress(&failed, "ControllerExit"), nullptr);
    EXPECT_EQ(GetDeviceFunctionAddress(&fatal, "LibraryExit"), nullptr);
    ExpectError(failed, 99, "earlier");
    EXPECT_EQ(fatal.Code(), 0);
}

// The fixtures write into the caller's cluster and strings: one copy of the classes serves both.
TEST_F(ModuleHandles, ExportsWorkOnTheCallersObjects) {
    Load(controllerLibrary, "ctrl_fails");
    Load(deviceLibrary, "dev_full");
    ErrorCluster err, clean;
    const auto verify = ExportAs<void (*)(ErrorCluster*, TString, int32_t)>(
        GetControllerFunctionAddress(&err, "VerifyControllerConnected"));
    verify(&err, TString("port 2"), 0);
    ExpectError(err, 5000, "ctrl_fails: controller not connected");
    TString result;
    ExportAs<void (*)(ErrorCluster*, TString*, TString, int32_t)>(
        GetDeviceFunctionAddress(&clean, "LibraryInitilize"))(&clean, &result, TString("a|b"), 0);
    EXPECT_STREQ(result.CStr(), "dev_full ready: a|b");
    EXPECT_EQ(TakeLog(), (Lines{"ctrl_fails: VerifyControllerConnected(port 2)",
                                "dev_full: LibraryInitilize(a|b)"}));
}

TEST_F(ModuleHandles, UnloadCallsTheExitsDeviceFirstAndForgetsEverything) {
    Load(controllerLibrary, "ctrl_full");
    Load(deviceLibrary, "dev_full");
    ErrorCluster own, failed(true, 99, "earlier");
    controllerObject = ExportAs<void* (*)(ErrorCluster*, TString)>(
        GetControllerFunctionAddress(&own, "ControllerObjectPointer"))(&own, "DebugTools");
    ASSERT_NE(controllerObject, nullptr);
    EXPECT_EQ(DebugTools(nullptr), controllerObject);
    EXPECT_EQ(DebugTools(&own), controllerObject);
    EXPECT_EQ(DebugTools(&failed), nullptr);
    EXPECT_STREQ(ControllerDLL_FileName(true).CStr(), Fixture("ctrl_full").c_str());
    EXPECT_STREQ(DeviceDLL_FileName(false).CStr(), "dev_full" KOA_FIXTURE_SUFFIX);
    TakeLog();

    UnloadDeviceLibrary(&failed);
    UnloadControllerLibrary(&failed);
    EXPECT_NE(deviceLibrary, nullptr);
    EXPECT_TRUE(TakeLog().empty());
    ExpectError(failed, 99, "earlier");

    ErrorCluster err;
    UnloadControllerLibrary(&err);
    EXPECT_EQ(TakeLog(), (Lines{"dev_full: LibraryExit()", "dev_full: unloaded()",
                                "ctrl_full: ControllerExit()", "ctrl_full: unloaded()"}));
    EXPECT_FALSE(err.Status());
    EXPECT_EQ(controllerLibrary, nullptr);
    EXPECT_EQ(deviceLibrary, nullptr);
    EXPECT_EQ(DebugTools(nullptr), nullptr);
    EXPECT_TRUE(ControllerDLL_FileName(true).IsEmpty());
    EXPECT_TRUE(DeviceDLL_FileName(false).IsEmpty());
}

TEST_F(ModuleHandles, MissingExitFunctionsAreNotReported) {
    Load(controllerLibrary, "ctrl_minimal");
    Load(deviceLibrary, "dev_minimal");
    ErrorCluster err;
    UnloadDeviceLibrary(&err);
    EXPECT_EQ(deviceLibrary, nullptr);
    EXPECT_EQ(TakeLog(), Lines{"dev_minimal: unloaded()"});
    UnloadControllerLibrary(&err);
    EXPECT_EQ(TakeLog(), Lines{"ctrl_minimal: unloaded()"});
    EXPECT_EQ(err.Code(), 0);
    EXPECT_FALSE(err.Status());
}

#if !defined(_WIN32)
// A bare name is looked for in the working directory only, never on the system's library path.
TEST_F(ModuleHandles, BareNamesAreNotSearchedFor) {
    EXPECT_EQ(koa::platform::LoadLibraryModule("libc.so.6"), nullptr);
    EXPECT_EQ(koa::platform::LoadLibraryModule(""), nullptr);
}
#endif

} // namespace
