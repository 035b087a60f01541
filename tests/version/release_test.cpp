#include "modules/module_handles.h"
#include "platform/modules.h"
#include "support/site.h"
#include "version/file_version_info.h"
#include "version/verification.h"

#include <chrono>
#include <fstream>
#include <iterator>
#include <thread>

#if !defined(_WIN32)
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

namespace fs = std::filesystem;

const char* const kCommonReleased =
    std::string(KOA_FIXTURE_SUFFIX) == ".dll" ? "koa_dev.dll" : "libkoa_dev.so";

std::string ReadAll(const std::string& path) {
    return {std::istreambuf_iterator<char>(std::ifstream(path, std::ios::binary).rdbuf()), {}};
}

// The fixture libraries with chosen versions (tests/version/CMakeLists.txt), placed into the
// site's released and local directories.
class Release : public SiteTest {
  protected:
    static void Place(const std::string& fixture, const std::string& path) {
        fs::remove(path);
        fs::copy_file(Host() + "fixtures" KOA_TEST_SEPARATOR + fixture + KOA_FIXTURE_SUFFIX, path);
    }
    static void Load(void*& handle, const std::string& fixture, const std::string& path) {
        Place(fixture, path);
        handle = koa::platform::LoadLibraryModule(path.c_str());
        ASSERT_NE(handle, nullptr) << path;
    }
    // The loaded controller and device dev.dll, as the loaders leave them.
    void LoadBoth(const std::string& controllerFile, const std::string& controller = "v1003") {
        ASSERT_NO_FATAL_FAILURE(Load(controllerLibrary, controller, local + controllerFile));
        ASSERT_NO_FATAL_FAILURE(Load(deviceLibrary, "dev_v1003", local + "dev.dll"));
    }
};

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// One local and one released copy (empty: none), and what the device check and the common check
// record (code 0: nothing) and return. The controller check words its reports as the device check.
using Case = std::tuple<const char*, const char*, LV_int32, std::string, std::string, LV_int32,
                        std::string, std::string>;

const std::string kWarn = "Warning!!!     ", kBuild = "Warning!!!    ",
                  kLocal3 = "\nLocal Library Version = '1, 0, 0, 3' ",
                  kLocal4 = "\nLocal Library Version = '1, 0, 0, 4' ",
                  kDev = "Device Specific Library 'dev.dll", kDll = "'koa_dev.dll",
                  kCommon = "Common Device DLL 'koa_dev.dll'",
                  kVerify = "Unable to Verify Version of ",
                  kUnknown = "'\n\nReleased Library Version = 'Unknown'",
                  kConflict = "'  Version Conflict!\n\n", kPre = " is a Pre-Release",
                  kReleased3 = "Released Library Version = '1, 0, 0, 3'",
                  kBoth = "(Private-Build, Special-Build)";

const Case kCases[] = {
    {"v1003", "v1003", 0, "", "", 0, "", ""},
    {"v1003", "", 1, kVerify + kDev, kWarn + kVerify + kDev + kUnknown + kLocal3, 1,
     kVerify + kDll + "'", kWarn + kVerify + kDll + kUnknown + kLocal3},
    // A local copy newer than the released one is a conflict too.
    {"v1004", "v1003", 2, kDev + "' Version Conflict!",
     kWarn + kDev + kConflict + kReleased3 + kLocal4, 2, kCommon + " Version Conflict!",
     kWarn + kDll + kConflict + kReleased3 + kLocal4},
    {"v1003_private_special", "v1004_pre", 2, kDev + "' Version Conflict!",
     kWarn + kDev + kConflict + "Pre-Released Library Version = '1, 0, 0, 4'" + kLocal3 + kBoth, 2,
     kCommon + " Version Conflict!",
     kWarn + kDll + kConflict + "Released Library Version = '1, 0, 0, 4'" + kLocal3 + kBoth},
    {"v1003_pre_private", "v1003", 4, kDev + "'" + kPre + ", Private-Build Version!",
     kBuild + kDev + "'" + kPre + ", Private-Build Version!", 3,
     kCommon + kPre + ", Private-Build Version",
     kBuild + kCommon + kPre + ", Private-Build Version"},
    {"v1003_pre", "v1003", 3, kDev + "'" + kPre + " Version!",
     kBuild + kDev + "'" + kPre + " Version!", 3, kCommon + kPre + " Version",
     kBuild + kCommon + kPre + " Version"},
    {"plain", "v1003", 15, "Unable to read Local Library Version Information for 'dev.dll'\n", "",
     15, "Unable to read Library Version Information from '<local>'\n", ""},
};

// Each case runs in its own directories, so each load reads a new file.
TEST_F(Release, VerificationReportsEveryCaseWithItsCodeAndText) {
    for (const auto& [mine, theirs, deviceCode, deviceSource, deviceText, commonCode, commonSource,
                      commonText] : kCases) {
        SCOPED_TRACE(std::string(mine) + " against " + theirs);
        UseSite(std::string(mine) + "_" + theirs + KOA_TEST_SEPARATOR);
        for (const std::string name : {"dev.dll", "ctl.dll", kCommonReleased}) {
            if (name == "dev.dll")
                Place(mine, local + name);
            if (*theirs)
                Place(theirs, released + name);
        }
        ASSERT_NO_FATAL_FAILURE(Load(controllerLibrary, mine, local + "ctl.dll"));
        const auto controllerText = [](const std::string& text) {
            return Replace(Replace(text, "Device Specific", "Controller"), "dev.dll", "ctl.dll");
        };
        void* own = moduleHandle;
        moduleHandle = controllerLibrary;
        ErrorCluster device, controller, common;
        EXPECT_EQ(VerifyDeviceSpecificDllVersion(&device, " dev.dll |COM1").CStr(), deviceText);
        EXPECT_EQ(VerifyControllerDllVersion(&controller).CStr(), controllerText(deviceText));
        EXPECT_EQ(VerifyCommonDeviceDllVersion(&common).CStr(), commonText);
        Expect(device, deviceCode, deviceSource);
        Expect(controller, deviceCode,
               Replace(controllerText(deviceSource), "Local Library", "Local Controller Library"));
        Expect(common, commonCode, Replace(commonSource, "<local>", local + "ctl.dll"));
        moduleHandle = own;
    }
}

// Nothing to report leaves an earlier warning.
TEST_F(Release, VerificationChecksOnlyWhatIsThere) {
    Place("v1003", released + "dev.dll");
    ErrorCluster err, none, failed;
    err.SetWarning(2, "earlier");
    EXPECT_STREQ(VerifyDeviceSpecificDllVersion(&err, "dev.dll|COM1").CStr(), "");
    EXPECT_TRUE(ReadAll(local + "dev.dll") == ReadAll(released + "dev.dll"));
    Expect(err, 2, "earlier");
    EXPECT_STREQ(VerifyDeviceSpecificDllVersion(&none, "nodev.dll").CStr(), "");
    Expect(none, 13, "Device Library 'nodev.dll' Not Available");

    // The copy fails: its error stands and the result is empty. Then nothing is checked or copied.
    Place("v1004", released + "other.dll");
    fs::remove_all(local);
    EXPECT_STREQ(VerifyDeviceSpecificDllVersion(&failed, "other.dll").CStr(), "");
    Expect(failed, 14, "Unable to Update Local DLL 'other.dll'\n");
    fs::create_directories(local);
    Place("v1003", local + "other.dll");
    EXPECT_STREQ(VerifyDeviceSpecificDllVersion(&failed, "other.dll").CStr(), "");
    EXPECT_STREQ(FormattedVersionInfo(&failed).CStr(), "");
    UpdateLocalDLL(&failed, "other.dll");
    Expect(failed, 14, "Unable to Update Local DLL 'other.dll'\n");
    EXPECT_FALSE(ReadAll(local + "other.dll") == ReadAll(released + "other.dll"));
}

// Only the name is compared, without regard to case; a read-only local copy is replaced. The
// version report describes each loaded library before the paths.
TEST_F(Release, UpdateUnloadsTheLibraryOfThatNameAndReadsSeeEachChange) {
    for (const char* name : {"ctl.dll", "dev.dll", "x.dll", "z.dll"})
        Place("v1004", released + name);
    ErrorCluster err;
    const std::string paths = FormattedVersionInfo(&err).CStr();
    EXPECT_NE(
        paths.find("Released DLL Path = '" + Backslashed(released) + "'\nFirmware Path = 'F'\n"),
        std::string::npos);
    ASSERT_NO_FATAL_FAILURE(LoadBoth("CTL.DLL"));
    for (const char* other : {"ctl.dl", "cxx.dll"}) { // a shorter name, and one that differs later
        Place("v1004", released + other);
        UpdateLocalDLL(&err, other);
    }
    EXPECT_TRUE(controllerLibrary != nullptr && deviceLibrary != nullptr);
    UpdateLocalDLL(&err, " ctl.dll | COM1");
    EXPECT_EQ(Log(), "dev_v1003: LibraryExit(); dev_v1003: unloaded(); v1003: ControllerExit(); "
                     "v1003: unloaded()");
    EXPECT_TRUE(controllerLibrary == nullptr && deviceLibrary == nullptr);
    EXPECT_TRUE(ReadAll(local + "ctl.dll") == ReadAll(released + "ctl.dll"));

    ASSERT_NO_FATAL_FAILURE(LoadBoth("ctl.dll", "v1003_pre_private"));
    EXPECT_EQ(FormattedVersionInfo(&err).CStr(),
              "Library = 'v1003_pre_private', Version = '1, 0, 0, 3' (PRE-RELEASE), Private Build "
              "= 'lab test'\nv1003_pre_private version\nLibrary = 'dev_v1003', Version = '1, 0, 0, "
              "3'\ndev_v1003 version\n" +
                  paths);
    fs::permissions(local + "dev.dll", fs::perms::owner_read);
    UpdateLocalDLL(&err, "dev.dll");
    EXPECT_EQ(Log(),
              "v1003_pre_private: ControllerVersionInfo(); dev_v1003: "
              "DeviceSpecificVersionInfo(); dev_v1003: LibraryExit(); dev_v1003: unloaded()");
    EXPECT_TRUE(controllerLibrary != nullptr && deviceLibrary == nullptr);
    EXPECT_TRUE(ReadAll(local + "dev.dll") == ReadAll(released + "dev.dll"));
    Expect(err, 0, "");
#if !defined(_WIN32)
    const auto fds = [] { return std::distance(fs::directory_iterator("/proc/self/fd"), {}); };
    const auto opened = fds();
    UpdateLocalDLL(&err, "dev.dll");
    EXPECT_EQ(fds(), opened); // nothing of the copy it replaced is left open
    // A local copy that is a symbolic link is replaced; the file it pointed to keeps its mode, and
    // the user's own x.dll.update stays.
    Place("v1003", Dir() + "elsewhere.dll");
    fs::permissions(Dir() + "elsewhere.dll", fs::perms::owner_read);
    fs::create_symlink(Dir() + "elsewhere.dll", local + "x.dll");
    WriteFile(local + "x.dll.update", "mine");
    UpdateLocalDLL(&err, "x.dll");
    EXPECT_TRUE(ReadAll(local + "x.dll") == ReadAll(released + "x.dll"));
    EXPECT_EQ(fs::status(Dir() + "elsewhere.dll").permissions(), fs::perms::owner_read);
    EXPECT_EQ(ReadAll(local + "x.dll.update"), "mine");
    // Where the copy would go stands a directory: it stays, and the failed copy leaves nothing.
    fs::create_directories(local + "z.dll/keep");
    const auto entries = std::distance(fs::directory_iterator(local), {});
    UpdateLocalDLL(&err, "z.dll");
    Expect(err, 14, "Unable to Update Local DLL 'z.dll'\n");
    EXPECT_TRUE(IsDirectory(local + "z.dll/keep"));
    EXPECT_EQ(std::distance(fs::directory_iterator(local), {}), entries);
#endif
    // A library read once, then rewritten in place by another version of the same size, its
    // modification time set back as a copy that keeps times leaves it: each read sees the file as
    // it is now.
    const std::string path = local + "y.dll";
    const auto revision = [&] { return FileVersionInfo(path.c_str()).fileVersion[3]; };
    Place("v1003", path);
#if !defined(_WIN32)
    // A file written a moment ago is read afresh: a second write through a shared mapping keeps
    // the times the first one set.
    const std::string v1003 = ReadAll(path), v1004 = ReadAll(released + "x.dll");
    const int fd = open(path.c_str(), O_RDWR);
    char* map =
        static_cast<char*>(mmap(nullptr, v1003.size(), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0));
    ASSERT_TRUE(map != MAP_FAILED && v1004.size() == v1003.size());
    for (const auto& [bytes, expected] : {std::pair{&v1003, 3}, {&v1004, 4}, {&v1003, 3}}) {
        std::memcpy(map, bytes->data(), bytes->size());
        EXPECT_EQ(revision(), expected);
    }
    munmap(map, v1003.size());
    close(fd);
#endif
    const auto then = fs::last_write_time(path) - std::chrono::hours(1);
    fs::last_write_time(path, then);
    // Past the coarsest timestamp granularity, so that the file counts as settled.
    std::this_thread::sleep_for(std::chrono::milliseconds(2100));
    EXPECT_EQ(revision(), 3);
    EXPECT_EQ(revision(), 3);
    std::ofstream(path, std::ios::binary)
        << std::ifstream(released + "x.dll", std::ios::binary).rdbuf();
    fs::last_write_time(path, then);
    EXPECT_EQ(revision(), 4);
}

#if !defined(_WIN32)
// Processes updating one 5 MB library at once, one of them killed while it writes its copy: every
// update that succeeds leaves the whole released file, and so does the last.
TEST_F(Release, ConcurrentUpdatesLeaveAWholeFile) {
    Place("v1004", released + "x.dll");
    fs::resize_file(released + "x.dll", 5 << 20);
    const std::string whole = ReadAll(released + "x.dll");
    pid_t updaters[4];
    for (int i = 0; i < 4; ++i) {
        if ((updaters[i] = fork()) != 0)
            continue;
        // The first one goes on until it is killed.
        for (int times = i == 0 ? 1 << 30 : 2; times > 0; --times) {
            ErrorCluster err;
            UpdateLocalDLL(&err, "x.dll");
            if (err.Status() || ReadAll(local + "x.dll") != whole)
                _exit(1);
        }
        _exit(0);
    }
    int status = 0;
    for (int i = 1; i < 4; ++i)
        EXPECT_TRUE(waitpid(updaters[i], &status, 0) == updaters[i] && status == 0) << status;
    // Then the first one is killed while a file in the local directory is not yet whole.
    for (bool writing = false; !writing && waitpid(updaters[0], &status, WNOHANG) == 0;) {
        std::error_code error;
        for (const auto& file : fs::directory_iterator(local, error))
            writing = writing || file.file_size(error) < 5 << 20;
    }
    kill(updaters[0], SIGKILL);
    waitpid(updaters[0], &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status)) << "it ended by itself: " << status;
    EXPECT_TRUE(ReadAll(local + "x.dll") == whole);
    // A copy that cannot be written whole (here, past the file size limit) fails at once and
    // leaves the local directory as it was.
    const auto entries = std::distance(fs::directory_iterator(local), {});
    const pid_t limited = fork();
    if (limited == 0) {
        const rlimit small{4096, 4096};
        signal(SIGXFSZ, SIG_IGN);
        alarm(10);
        setrlimit(RLIMIT_FSIZE, &small);
        ErrorCluster err;
        UpdateLocalDLL(&err, "x.dll");
        _exit(err.Code() == 14 ? 0 : 1);
    }
    EXPECT_TRUE(waitpid(limited, &status, 0) == limited && status == 0) << status;
    EXPECT_EQ(std::distance(fs::directory_iterator(local), {}), entries);
    EXPECT_TRUE(ReadAll(local + "x.dll") == whole);
    // An update waits while the local directory's lock is held elsewhere.
    const int directory = open(local.c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_EQ(flock(directory, LOCK_EX), 0);
    fs::remove(local + "x.dll");
    std::thread update([] {
        ErrorCluster err;
        UpdateLocalDLL(&err, "x.dll");
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_FALSE(fs::exists(local + "x.dll"));
    close(directory);
    update.join();
    EXPECT_TRUE(ReadAll(local + "x.dll") == whole);
}
#endif

} // namespace
