#include <koa_dev/koa_dev.h>

#include "modules/module_handles.h"
#include "platform/modules.h"
#include "support/resource_file.h"
#include "support/scratch_dir.h"
#include "version/verification.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#if !defined(_WIN32)
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

namespace fs = std::filesystem;

#if defined(_WIN32)
const char kCommonReleased[] = "koa_dev.dll";
#else
const char kCommonReleased[] = "libkoa_dev.so";
#endif

std::string ReadAll(const std::string& path) {
    std::ostringstream bytes;
    bytes << std::ifstream(path, std::ios::binary).rdbuf();
    return bytes.str();
}

// A released and a local library directory named by a koa_dev.rsc beside the test program, and
// the fixture libraries with chosen versions (tests/version/CMakeLists.txt) to put into them.
class Release : public ScratchDirTest {
  protected:
    void SetUp() override {
        ScratchDirTest::SetUp();
        UseLayout("");
    }
    void TearDown() override {
        ErrorCluster clean, reload;
        UnloadControllerLibrary(&clean);
        RemoveResourceFile();
        ReloadCommonDllResourceFile(&reload);
        ScratchDirTest::TearDown();
    }

    // Points the configuration at <scratch>/<sub>released and <sub>local, both created.
    void UseLayout(const std::string& sub) {
        released = Dir() + sub + "released" KOA_TEST_SEPARATOR;
        local = Dir() + sub + "local" KOA_TEST_SEPARATOR;
        fs::create_directories(released);
        fs::create_directories(local);
        WriteResourceFile({{1, released}, {2, "f"}, {3, "p"}, {4, "l"}, {5, "r"}, {100, local}});
        ErrorCluster err;
        ReloadCommonDllResourceFile(&err);
        ASSERT_FALSE(err.Status()) << err.Source().CStr();
    }

    static std::string Fixture(const std::string& name) {
        return Host() + "fixtures" KOA_TEST_SEPARATOR + name + KOA_FIXTURE_SUFFIX;
    }
    static void Place(const std::string& fixture, const std::string& path) {
        fs::remove(path);
        fs::copy_file(Fixture(fixture), path);
    }
    static void Load(void*& handle, const std::string& path) {
        handle = koa::platform::LoadLibraryModule(path.c_str());
        ASSERT_NE(handle, nullptr) << path;
    }
    // The loaded controller and device dev.dll, as the loaders leave them.
    void LoadBoth(const std::string& controllerFile) {
        Place("v1003", local + controllerFile);
        Place("dev_v1003", local + "dev.dll");
        ASSERT_NO_FATAL_FAILURE(Load(controllerLibrary, local + controllerFile));
        ASSERT_NO_FATAL_FAILURE(Load(deviceLibrary, local + "dev.dll"));
        TakeLog();
    }
    void ExpectCopied(const std::string& name) {
        EXPECT_TRUE(ReadAll(local + name) == ReadAll(released + name)) << name;
    }

    std::string released, local;
};

// What a check records (code 0: nothing) and returns.
struct Report {
    LV_int32 code;
    std::string source, text;
};

void ExpectReport(const ErrorCluster& err, const TString& text, const Report& report) {
    EXPECT_EQ(err.Code(), report.code);
    EXPECT_EQ(err.Status(), report.code >= 13);
    EXPECT_EQ(err.Source().CStr(), report.source);
    EXPECT_EQ(text.CStr(), report.text);
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// One local and one released copy (empty: none), and what the device check and the common check
// report. The controller check words its reports as the device check.
struct Case {
    const char *local, *released;
    Report device, common;
};

const std::string kWarn = "Warning!!!     ", kLocal3 = "\nLocal Library Version = '1, 0, 0, 3' ",
                  kLocal4 = "\nLocal Library Version = '1, 0, 0, 4' ",
                  kDev = "Device Specific Library 'dev.dll",
                  kCommon = "Common Device DLL 'koa_dev.dll'",
                  kUnknown = "'\n\nReleased Library Version = 'Unknown'";

const Case kCases[] = {
    {"v1003", "v1003", {0, "", ""}, {0, "", ""}},
    {"v1003",
     "",
     {1, "Unable to Verify Version of " + kDev,
      kWarn + "Unable to Verify Version of " + kDev + kUnknown + kLocal3},
     {1, "Unable to Verify Version of 'koa_dev.dll'",
      kWarn + "Unable to Verify Version of 'koa_dev.dll" + kUnknown + kLocal3}},
    // A local copy newer than the released one is a conflict too.
    {"v1004",
     "v1003",
     {2, kDev + "' Version Conflict!",
      kWarn + kDev + "'  Version Conflict!\n\nReleased Library Version = '1, 0, 0, 3'" + kLocal4},
     {2, kCommon + " Version Conflict!",
      kWarn + "'koa_dev.dll'  Version Conflict!\n\nReleased Library Version = '1, 0, 0, 3'" +
          kLocal4}},
    {"v1003_private_special",
     "v1004_pre",
     {2, kDev + "' Version Conflict!",
      kWarn + kDev + "'  Version Conflict!\n\nPre-Released Library Version = '1, 0, 0, 4'" +
          kLocal3 + "(Private-Build, Special-Build)"},
     {2, kCommon + " Version Conflict!",
      kWarn + "'koa_dev.dll'  Version Conflict!\n\nReleased Library Version = '1, 0, 0, 4'" +
          kLocal3 + "(Private-Build, Special-Build)"}},
    {"v1003_pre_private",
     "v1003",
     {4, kDev + "' is a Pre-Release, Private-Build Version!",
      "Warning!!!    " + kDev + "' is a Pre-Release, Private-Build Version!"},
     {3, kCommon + " is a Pre-Release, Private-Build Version",
      "Warning!!!    " + kCommon + " is a Pre-Release, Private-Build Version"}},
    {"v1003_pre",
     "v1003",
     {3, kDev + "' is a Pre-Release Version!",
      "Warning!!!    " + kDev + "' is a Pre-Release Version!"},
     {3, kCommon + " is a Pre-Release Version",
      "Warning!!!    " + kCommon + " is a Pre-Release Version"}},
    {"plain",
     "v1003",
     {15, "Unable to read Local Library Version Information for 'dev.dll'\n", ""},
     {15, "Unable to read Library Version Information from '<local>'\n", ""}},
};

// Each case runs in its own directories, so each load reads a new file.
TEST_F(Release, VerificationReportsEveryCaseWithItsCodeAndText) {
    int index = 0;
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(c.local) + " against " + c.released);
        UseLayout("case" + std::to_string(index++) + KOA_TEST_SEPARATOR);
        for (const std::string name : {"dev.dll", "ctl.dll", kCommonReleased}) {
            if (name != kCommonReleased)
                Place(c.local, local + name);
            if (*c.released)
                Place(c.released, released + name);
        }
        ASSERT_NO_FATAL_FAILURE(Load(controllerLibrary, local + "ctl.dll"));

        ErrorCluster device, controller, common;
        ExpectReport(device, VerifyDeviceSpecificDllVersion(&device, " dev.dll |COM1"), c.device);
        Report expected = c.device;
        for (std::string* text : {&expected.source, &expected.text})
            *text = Replace(*text, kDev, "Controller Library 'ctl.dll");
        if (expected.code == 15)
            expected.source =
                "Unable to read Local Controller Library Version Information for 'ctl.dll'\n";
        ExpectReport(controller, VerifyControllerDllVersion(&controller), expected);

        void* own = moduleHandle;
        moduleHandle = controllerLibrary;
        expected = c.common;
        expected.source = Replace(expected.source, "<local>", local + "ctl.dll");
        ExpectReport(common, VerifyCommonDeviceDllVersion(&common), expected);
        moduleHandle = own;
        UnloadControllerLibrary(&common);
    }
}

TEST_F(Release, VerificationKeepsEarlierReportsAndChecksOnlyWhatIsThere) {
    Place("v1003", released + "dev.dll");
    ErrorCluster err;
    err.SetWarning(9, "earlier");
    EXPECT_STREQ(VerifyDeviceSpecificDllVersion(&err, "dev.dll|COM1").CStr(), "");
    EXPECT_TRUE(ReadAll(local + "dev.dll") == ReadAll(released + "dev.dll")) << "copied first";
    EXPECT_EQ(err.Code(), 9);

    ErrorCluster none, noController;
    EXPECT_STREQ(VerifyDeviceSpecificDllVersion(&none, "nodev.dll").CStr(), "");
    ExpectReport(none, "", {13, "Device Library 'nodev.dll' Not Available", ""});
    EXPECT_STREQ(VerifyControllerDllVersion(&noController).CStr(), "");
    ExpectReport(noController, "",
                 {15, "Verify Controller DLL Version - No Controller DLL is Loaded", ""});

    // The copy fails: its error stands and the result is empty.
    Place("v1004", released + "other.dll");
    fs::remove_all(local);
    ErrorCluster failed;
    ExpectReport(failed, VerifyDeviceSpecificDllVersion(&failed, "other.dll"),
                 {14, "Unable to Update Local DLL 'other.dll'\n", ""});

    for (const ErrorCluster& blocked : {noController, failed}) {
        ErrorCluster copy = blocked;
        EXPECT_STREQ(VerifyCommonDeviceDllVersion(&copy).CStr(), "");
        EXPECT_STREQ(VerifyDeviceSpecificDllVersion(&copy, "dev.dll").CStr(), "");
        EXPECT_STREQ(FormattedVersionInfo(&copy).CStr(), "");
        UpdateLocalDLL(&copy, "other.dll");
        EXPECT_EQ(copy.Source(), blocked.Source());
    }
    EXPECT_FALSE(DoesFileExists((local + "other.dll").c_str()));
}

TEST_F(Release, ReportDescribesEachLoadedLibrary) {
    ErrorCluster err;
    const std::string paths = FormattedVersionInfo(&err).CStr();
    EXPECT_NE(paths.find("Released DLL Path = '" + released + "'\nFirmware Path = 'f'\n"),
              std::string::npos);
    Place("v1003_pre_private", local + "ctl.dll");
    Place("dev_v1003", local + "dev.dll");
    ASSERT_NO_FATAL_FAILURE(Load(controllerLibrary, local + "ctl.dll"));
    ASSERT_NO_FATAL_FAILURE(Load(deviceLibrary, local + "dev.dll"));
    EXPECT_EQ(FormattedVersionInfo(&err).CStr(),
              "Library = 'v1003_pre_private', Version = '1, 0, 0, 3' (PRE-RELEASE), Private Build "
              "= 'lab test'\nv1003_pre_private version\nLibrary = 'dev_v1003', Version = '1, 0, 0, "
              "3'\ndev_v1003 version\n" +
                  paths);
    EXPECT_FALSE(err.Status());
}

TEST_F(Release, ReadsNumbersAndFlagsWhateverThePointers) {
    TArray<unsigned short, 6, LV_uInt16Array**> file(2, 7), product(2, 7);
    LV_uInt32 flags = 7;
    EXPECT_TRUE(ReadFileVersionInformation(Fixture("v1003_private_special").c_str(), &file,
                                           &product, &flags));
    EXPECT_EQ(file, (TArray<unsigned short, 6, LV_uInt16Array**>(4, 1, 0, 0, 3)));
    EXPECT_EQ(product, file);
    EXPECT_EQ(flags, 0x28u);
    EXPECT_TRUE(ReadFileVersionInformation(Fixture("v1003").c_str(), nullptr, nullptr, nullptr));
    EXPECT_FALSE(ReadFileVersionInformation(Fixture("plain").c_str(), &file, &product, &flags));
    EXPECT_EQ(file, (TArray<unsigned short, 6, LV_uInt16Array**>(4, 0)));
    EXPECT_EQ(product.GetSize(), 4);
    EXPECT_EQ(flags, 0u);
}

TEST_F(Release, UpdateUnloadsTheLibraryOfThatNameBeforeCopying) {
    Place("v1004", released + "ctl.dll");
    Place("v1004", released + "dev.dll");
    ASSERT_NO_FATAL_FAILURE(LoadBoth("CTL.DLL"));
    ErrorCluster err;
    UpdateLocalDLL(&err, " ctl.dll | COM1");
    EXPECT_EQ(TakeLog(),
              (std::vector<std::string>{"dev_v1003: LibraryExit()", "dev_v1003: unloaded()",
                                        "v1003: ControllerExit()", "v1003: unloaded()"}));
    EXPECT_EQ(controllerLibrary, nullptr);
    EXPECT_EQ(deviceLibrary, nullptr);
    ExpectCopied("ctl.dll");

    ASSERT_NO_FATAL_FAILURE(LoadBoth("ctl.dll"));
    UpdateLocalDLL(&err, "dev.dll");
    EXPECT_EQ(TakeLog(),
              (std::vector<std::string>{"dev_v1003: LibraryExit()", "dev_v1003: unloaded()"}));
    EXPECT_NE(controllerLibrary, nullptr);
    EXPECT_EQ(deviceLibrary, nullptr);
    ExpectCopied("dev.dll");
    EXPECT_FALSE(err.Status()) << err.Source().CStr();
}

TEST_F(Release, UpdateReplacesAReadOnlyCopyAndReportsWhatCannotBeCopied) {
    Place("v1003", local + "x.dll");
    Place("v1004", released + "x.dll");
    Place("plain", released + "plain.dll");
    fs::permissions(local + "x.dll", fs::perms::owner_read);
    ErrorCluster err;
    UpdateLocalDLL(&err, "x.dll");
    EXPECT_FALSE(err.Status()) << err.Source().CStr();
    ExpectCopied("x.dll");

    UpdateLocalDLL(&err, "plain.dll");
    EXPECT_EQ(err.Code(), 13);
    EXPECT_STREQ(err.Source().CStr(), "DLL 'plain.dll' was Not Found or is Invalid\n");
    EXPECT_FALSE(fs::exists(local + "plain.dll"));

#if !defined(_WIN32)
    // A local copy that is a symbolic link is replaced, and the file it pointed to keeps its
    // contents and mode; the user's own x.dll.update is left alone.
    Place("v1003", Dir() + "elsewhere.dll");
    fs::permissions(Dir() + "elsewhere.dll", fs::perms::owner_read);
    fs::remove(local + "x.dll");
    fs::create_symlink(Dir() + "elsewhere.dll", local + "x.dll");
    WriteFile(local + "x.dll.update", "mine");
    ErrorCluster linked;
    UpdateLocalDLL(&linked, "x.dll");
    EXPECT_FALSE(linked.Status()) << linked.Source().CStr();
    EXPECT_FALSE(fs::is_symlink(local + "x.dll"));
    ExpectCopied("x.dll");
    EXPECT_EQ(fs::status(Dir() + "elsewhere.dll").permissions(), fs::perms::owner_read);
    EXPECT_TRUE(ReadAll(Dir() + "elsewhere.dll") == ReadAll(Fixture("v1003")));
    EXPECT_EQ(ReadAll(local + "x.dll.update"), "mine");

    // Where the copy would go stands a directory: error 14, the directory stays, and the failed
    // copy leaves no file behind.
    fs::remove(local + "x.dll");
    fs::remove(local + "x.dll.update");
    fs::create_directories(local + "x.dll/keep");
    ErrorCluster blocked;
    UpdateLocalDLL(&blocked, "x.dll");
    EXPECT_EQ(blocked.Code(), 14);
    EXPECT_TRUE(IsDirectory(local + "x.dll/keep"));
    EXPECT_EQ(std::distance(fs::directory_iterator(local), {}), 1);
#endif

    fs::remove_all(local);
    ErrorCluster noDirectory;
    UpdateLocalDLL(&noDirectory, "x.dll");
    EXPECT_EQ(noDirectory.Code(), 14);
    EXPECT_STREQ(noDirectory.Source().CStr(), "Unable to Update Local DLL 'x.dll'\n");
}

#if !defined(_WIN32)
// True while the process has a file open whose name holds part.
bool HasFileOpen(pid_t process, const std::string& part) {
    std::error_code error;
    const std::string fds = "/proc/" + std::to_string(process) + "/fd";
    for (const auto& fd : fs::directory_iterator(fds, error))
        if (fs::read_symlink(fd.path(), error).string().find(part) != std::string::npos)
            return true;
    return false;
}

// Processes updating one 5 MB library at the same time, one of them killed while it writes its
// copy: every update that succeeds leaves the whole released file, and so does the last.
TEST_F(Release, ConcurrentUpdatesLeaveAWholeFile) {
    std::string released5MB = ReadAll(Fixture("v1004"));
    released5MB.resize(5 << 20);
    WriteFile(released + "x.dll", released5MB);
    Place("v1003", local + "x.dll");
    const auto update = [&](int times) {
        for (int i = 0; i < times; ++i) {
            ErrorCluster err;
            UpdateLocalDLL(&err, "x.dll");
            if (err.Status() || ReadAll(local + "x.dll") != released5MB)
                return 1;
        }
        return 0;
    };
    std::vector<pid_t> updaters;
    for (int i = 0; i < 4; ++i) {
        const pid_t child = fork();
        if (child == 0)
            _exit(update(i == 0 ? 1000 : 2));
        updaters.push_back(child);
    }
    int killedStatus = 0;
    while (!HasFileOpen(updaters[0], "x.dll.") &&
           waitpid(updaters[0], &killedStatus, WNOHANG) == 0) {
    }
    kill(updaters[0], SIGKILL);
    for (const pid_t child : updaters) {
        int status = 0;
        waitpid(child, &status, 0);
        if (child != updaters[0]) {
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
        }
    }
    EXPECT_TRUE(ReadAll(local + "x.dll") == released5MB);
}
#endif

} // namespace
