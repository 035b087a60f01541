#include <koa_dev/koa_dev.h>

#include "support/allocations.h"
#include "support/resource_file.h"
#include "support/scratch_dir.h"

#if !defined(_WIN32)
#include <sys/stat.h>
#endif

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace {

using Lines = std::vector<std::string>;
const std::string kSuffix = KOA_FIXTURE_SUFFIX;

// The path written as on Windows, with backslashes.
std::string Backslashed(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

// A site in a scratch directory: koa_dev.rsc beside the test program, the released directory
// holding the fixture libraries (tests/fixtures, with version resources), an empty local
// directory and a controller list file. The configured paths are written with backslashes.
class ControllerRoad : public ScratchDirTest {
  protected:
    void SetUp() override {
        ScratchDirTest::SetUp();
        std::filesystem::create_directory(Released());
        for (const auto& entry : std::filesystem::directory_iterator(Host() + "shared/fixtures"))
            std::filesystem::copy_file(entry.path(), Released() + entry.path().filename().string());
        ASSERT_NO_FATAL_FAILURE(WriteSite());
        ASSERT_TRUE(IsDirectory(Local()));
    }
    void WriteSite(const std::string& local = "") const {
        WriteResourceFile({{1, Backslashed(Released())},
                           {2, "F"},
                           {3, "P"},
                           {4, Backslashed(Dir() + "controllers.txt")},
                           {5, "V"},
                           {100, Backslashed(local.empty() ? Local() : local)}});
        ErrorCluster err;
        ReloadCommonDllResourceFile(&err);
        ASSERT_FALSE(err.Status()) << err.Source().CStr();
    }
    void TearDown() override {
        ErrorCluster unload;
        LoadControllerLibrary(&unload, "absent");
        RemoveResourceFile();
        ScratchDirTest::TearDown();
    }

    std::string Released() const { return Dir() + "released" KOA_TEST_SEPARATOR; }
    std::string Local() const { return Dir() + "local" KOA_TEST_SEPARATOR; }
    void List(const std::string& text) const { WriteFile(Dir() + "controllers.txt", text); }
    void Place(const std::string& name) const {
        std::filesystem::copy_file(Released() + name, Local() + name);
    }

    static void Expect(const ErrorCluster& err, bool status, LV_int32 code,
                       const std::string& source) {
        EXPECT_EQ(err.Status(), status);
        EXPECT_EQ(err.Code(), code);
        EXPECT_EQ(err.Source().CStr(), source);
    }
    static std::string Loaded() { return ControllerDLL_FileName(false).CStr(); }
};

// The list's first line is longer than an entry's 100 characters: it gives two entries.
TEST_F(ControllerRoad, ListModeConnectsTheSecondControllerAndDevicesLoadOnTop) {
    const std::string fails = "ctrl_fails" + kSuffix + "|", cut(100 - fails.size(), 'x');
    List("\r\n  " + fails + cut + fails + " a\r\n\n ctrl_full" + kSuffix + "|port 2 \n" +
         "ctrl_minimal" + kSuffix + "\n");
    ErrorCluster err;
    const std::string name = "ctrl_full" + kSuffix;
    EXPECT_EQ(LoadControllerLibrary(&err, "").CStr(),
              "Warning!!!    Controller Library '" + name + "' is a Pre-Release Version!");
    Expect(err, false, 3, "Controller Library '" + name + "' is a Pre-Release Version!");
    EXPECT_EQ(ControllerDLL_FileName(true).CStr(), Local() + name);
    ErrorCluster failed(true, 99, "earlier");
    EXPECT_NE(DebugTools(nullptr), nullptr);
    EXPECT_EQ(DebugTools(&failed), nullptr);
    EXPECT_EQ(GetControllerFunctionAddress(&failed, "ControllerExit"), nullptr);
    EXPECT_TRUE(DoesFileExists((Local() + "ctrl_fails" + kSuffix).c_str()));
    EXPECT_FALSE(DoesFileExists((Local() + "ctrl_minimal" + kSuffix).c_str()));
    EXPECT_EQ(TakeLog(),
              (Lines{"ctrl_fails: VerifyControllerConnected(" + cut + ")", "ctrl_fails: unloaded()",
                     "ctrl_fails: VerifyControllerConnected(a)", "ctrl_fails: unloaded()",
                     "ctrl_full: VerifyControllerConnected(port 2)",
                     "ctrl_full: ControllerObjectPointer(DebugTools)"}));

    EXPECT_STREQ(ID_Device(&err).CStr(), "ctrl_full device");
    Place("dev_full" + kSuffix);
    EXPECT_STREQ(LoadDeviceLibrary(&err, ("dev_full" + kSuffix + " | COM1").c_str()).CStr(),
                 "dev_full ready: COM1");
    EXPECT_EQ(DeviceDLL_FileName(false).CStr(), "dev_full" + kSuffix);
    EXPECT_STREQ(LoadDeviceLibrary(&err, ("dev_full" + kSuffix + "|COM2").c_str()).CStr(),
                 "dev_full ready: COM2");
    EXPECT_EQ(GetDeviceFunctionAddress(&failed, "LibraryExit"), nullptr);
    Expect(failed, true, 99, "earlier");
    EXPECT_EQ(TakeLog(), (Lines{"ctrl_full: ID_Device()", "dev_full: LibraryInitilize(COM1)",
                                "dev_full: LibraryExit()", "dev_full: unloaded()",
                                "dev_full: LibraryInitilize(COM2)"}));

    // Named mode, with a drive and directory that are not used: both libraries are unloaded,
    // the controller is loaded afresh from the local directory.
    EXPECT_FALSE(
        LoadControllerLibrary(&err, ("C:\\elsewhere\\" + name + " | a|b").c_str()).IsEmpty());
    EXPECT_TRUE(DeviceDLL_FileName(false).IsEmpty());
    EXPECT_EQ(TakeLog(), (Lines{"dev_full: LibraryExit()", "dev_full: unloaded()",
                                "ctrl_full: ControllerExit()", "ctrl_full: unloaded()",
                                "ctrl_full: VerifyControllerConnected(a|b)",
                                "ctrl_full: ControllerObjectPointer(DebugTools)"}));
    EXPECT_STREQ(LoadDeviceLibrary(&err, ("dev_full" + kSuffix).c_str()).CStr(),
                 "dev_full ready: ");
    EXPECT_TRUE(LoadDeviceLibrary(&err, "").IsEmpty());
    EXPECT_TRUE(DeviceDLL_FileName(false).IsEmpty());
    Expect(err, false, 3, "Controller Library '" + name + "' is a Pre-Release Version!");
    ErrorCluster noDevice;
    EXPECT_EQ(GetDeviceFunctionAddress(&noDevice, "LibraryExit"), nullptr);
    Expect(noDevice, true, 15, "Device DLL Not Loaded");
}

TEST_F(ControllerRoad, ListModeFailures) {
    const std::string full = "ctrl_full" + kSuffix;
    struct Case {
        const char* what;
        std::string list; // "" for no list file
        LV_int32 code;
        std::string source;
        bool unloads;
    };
    const Case cases[] = {
        {"missing file", "", 7, "Unable to open Controller List File", false},
        {"nobody connects",
         "ctrl_fails" + kSuffix + "\nabsent" + kSuffix + "\n" + full + "|offline\n", -1223,
         "Unable to Communicate with Controller", true},
        {"blank list", " \r\n\t\n", 15,
         "Verify Controller DLL Version - No Controller DLL is Loaded", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ErrorCluster err;
        LoadControllerLibrary(&err, full.c_str());
        std::filesystem::remove_all(Dir() + "controllers.txt");
        if (!c.list.empty())
            List(c.list);
        err.ResetAll();
        EXPECT_TRUE(LoadControllerLibrary(&err, "").IsEmpty());
        Expect(err, true, c.code, c.source);
        EXPECT_EQ(Loaded(), c.unloads ? "" : full);
        EXPECT_EQ(DebugTools(nullptr) == nullptr, c.unloads);
    }
}

TEST_F(ControllerRoad, NamedModeAndDeviceFailures) {
    WriteFile(Local() + "junk" + kSuffix, "not a library");
    struct Case {
        std::string spec;
        LV_int32 code;
        std::string source;
        Lines log;
    };
    const Case controllers[] = {
        {"ctrl_no_verify" + kSuffix,
         12,
         "Controller Function 'VerifyControllerConnected' Not Found in DLL",
         {"ctrl_no_verify: unloaded()"}},
        {"junk" + kSuffix, 14, "Error Loading Controller Library 'junk" + kSuffix + "'", {}},
        {" ctrl_minimal" + kSuffix + " | offline ",
         5000,
         "ctrl_minimal: controller not connected",
         {"ctrl_minimal: VerifyControllerConnected(offline)", "ctrl_minimal: unloaded()"}},
    };
    for (const Case& c : controllers) {
        SCOPED_TRACE(c.spec);
        ErrorCluster err;
        EXPECT_TRUE(LoadControllerLibrary(&err, c.spec.c_str()).IsEmpty());
        Expect(err, true, c.code, c.source);
        EXPECT_EQ(Loaded(), "");
        EXPECT_EQ(TakeLog(), c.log);
    }

    ErrorCluster noController, noId, noDevice;
    LoadDeviceLibrary(&noController, ("dev_full" + kSuffix).c_str());
    Expect(noController, true, 14,
           "Load Device Library - Can not load Device Library without Controller Library Already "
           "Loaded");
    ID_Device(&noId);
    Expect(noId, true, 15, "Controller DLL Not Loaded");
    LoadControllerLibrary(&noDevice, ("ctrl_full" + kSuffix + "|no device").c_str());
    EXPECT_STREQ(ID_Device(&noDevice).CStr(), "ctrl_full device");
    Expect(noDevice, true, -1236, "Unable to Identify Device");

    for (const char* name : {"dev_no_init", "dev_fails"})
        Place(name + kSuffix);
    const Case devices[] = {
        {"dev_no_init" + kSuffix,
         12,
         "Device Function 'LibraryInitilize' Not Found in Device DLL",
         {"dev_no_init: unloaded()"}},
        {"dev_fails" + kSuffix + "|x",
         5001,
         "dev_fails: device not initialised",
         {"dev_fails: LibraryInitilize(x)", "dev_fails: unloaded()"}},
        {"junk" + kSuffix, 14, "Error Loading Device Library 'junk" + kSuffix + "'", {}},
        {"   ", 14, "Error Loading Device Library ''", {}},
    };
    TakeLog();
    for (const Case& c : devices) {
        SCOPED_TRACE(c.spec);
        ErrorCluster err;
        EXPECT_TRUE(LoadDeviceLibrary(&err, c.spec.c_str()).IsEmpty());
        Expect(err, true, c.code, c.source);
        EXPECT_TRUE(DeviceDLL_FileName(false).IsEmpty());
        EXPECT_EQ(TakeLog(), c.log);
    }
    ErrorCluster missingId;
    LoadControllerLibrary(&missingId, ("ctrl_minimal" + kSuffix).c_str());
    missingId.ResetAll();
    ID_Device(&missingId);
    Expect(missingId, true, 12, "Controller Function 'ID_Device' Not Found in DLL");

    // The local directory is gone: the released library cannot be copied.
    ASSERT_NO_FATAL_FAILURE(WriteSite(Dir() + "gone" KOA_TEST_SEPARATOR));
    std::filesystem::remove(Dir() + "gone");
    ErrorCluster noCopy;
    EXPECT_TRUE(LoadControllerLibrary(&noCopy, ("ctrl_full" + kSuffix).c_str()).IsEmpty());
    Expect(noCopy, true, 14, "Unable to Update Local DLL 'ctrl_full" + kSuffix + "'\n");
    EXPECT_EQ(Loaded(), "ctrl_minimal" + kSuffix) << "an attempt that never began unloads nothing";
}

#if !defined(_WIN32)
// A library path longer than the Windows limit of 259 characters names nothing, though Linux
// could reach it: the library is neither copied there nor loaded from there, and no shorter,
// cut path is read in its place. The local directory itself is searched at the limit.
TEST_F(ControllerRoad, LibraryPathsBeyondThePathLimitNameNothing) {
    const std::string name = "ctrl_full" + kSuffix;
    const std::string deep = Local() + std::string(255 - Local().size(), 'd') + "/";
    ASSERT_EQ((deep + "*.*").size(), 259u);
    ASSERT_NO_FATAL_FAILURE(WriteSite(deep));
    EXPECT_TRUE(DoesFileExists((deep + "*.*").c_str()));
    ErrorCluster err;
    EXPECT_TRUE(LoadControllerLibrary(&err, name.c_str()).IsEmpty());
    Expect(err, true, 14, "Unable to Update Local DLL '" + name + "'\n");
    std::filesystem::copy_file(Released() + name, deep + name);
    err.ResetAll();
    LoadControllerLibrary(&err, name.c_str());
    Expect(err, true, 14, "Unable to Update Local DLL '" + name + "'\n");
    EXPECT_EQ(Loaded(), "");
}

// Where the site has a file, something that is not a regular file of a sane size: each operation
// gives its own error at once, without waiting on a FIFO, without reading the file into memory,
// and without keeping it open.
TEST_F(ControllerRoad, FilesThatAreNotRegularFilesAreNotFoundOrNotLoaded) {
    using Make = void (*)(const std::string& path);
    const std::pair<const char*, Make> kinds[] = {
        {"directory", [](const std::string& path) { std::filesystem::create_directory(path); }},
        {"FIFO", [](const std::string& path) { ASSERT_EQ(mkfifo(path.c_str(), 0600), 0); }},
        {"symbolic link loop",
         [](const std::string& path) { std::filesystem::create_symlink(path, path); }},
        {"device",
         [](const std::string& path) { std::filesystem::create_symlink("/dev/zero", path); }},
        {"sparse file of 1 GB and a byte",
         [](const std::string& path) {
             WriteFile(path, "MZ");
             std::filesystem::resize_file(path, (uintmax_t{1} << 30) + 1);
         }},
    };
    const std::string x = "x" + kSuffix;
    enum Operation { Reload, LoadController, VerifyDevice };
    const struct {
        std::string path;
        Operation operation;
        LV_int32 code;
        std::string source;
    } roles[] = {
        {ResourceFilePath(), Reload, 14, "Error Loading Resource File 'koa_dev.rsc'"},
        {Dir() + "controllers.txt", LoadController, 7, "Unable to open Controller List File"},
        {Released() + x, LoadController, 13, "DLL '" + x + "' was Not Found or is Invalid\n"},
        {Local() + x, LoadController, 14, "Error Loading Controller Library '" + x + "'"},
        {Local() + x, VerifyDevice, 15,
         "Unable to read Local Library Version Information for '" + x + "'\n"},
    };
    const auto openFiles = [] {
        return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {});
    };
    const auto opened = openFiles();
    for (const auto& role : roles) {
        for (const auto& [kind, make] : kinds) {
            SCOPED_TRACE(role.path + " a " + kind);
            std::filesystem::remove(role.path);
            make(role.path);
            ErrorCluster err;
            const TString spec = role.path == Dir() + "controllers.txt" ? "" : x.c_str();
            if (role.operation == Reload)
                ReloadCommonDllResourceFile(&err);
            else if (role.operation == LoadController)
                EXPECT_TRUE(LoadControllerLibrary(&err, spec).IsEmpty());
            else
                EXPECT_TRUE(VerifyDeviceSpecificDllVersion(&err, spec).IsEmpty());
            Expect(err, true, role.code, role.source);
            EXPECT_EQ(Loaded(), "");
            std::filesystem::remove(role.path);
            ASSERT_NO_FATAL_FAILURE(WriteSite());
        }
    }
    List("ctrl_full" + kSuffix);
    ErrorCluster copied;
    LoadControllerLibrary(&copied, "");
    EXPECT_EQ(Loaded(), "ctrl_full" + kSuffix);
    EXPECT_EQ(openFiles(), opened); // nothing refused or copied is left open
}
#endif

// Out of memory anywhere on the road, a load throws nothing and reports LabVIEW's "memory full" as
// the fatal code. The test program refuses one allocation after another.
TEST_F(ControllerRoad, OutOfMemoryIsFatalCode2AndNothingIsThrown) {
#if defined(_WIN32)
    GTEST_SKIP() << "the library's DLL allocates with an operator new of its own";
#endif
    const std::string name = "ctrl_full" + kSuffix;
    const TString spec(name.c_str());
    size_t nth = 1;
    for (;; ++nth) {
        std::filesystem::remove(Local() + name);
        ErrorCluster err;
        bool empty = false;
        allocations::Watch watch;
        watch.RefuseNth(nth + 1); // the first request is the caller's copy of the name
        EXPECT_NO_THROW(empty = LoadControllerLibrary(&err, spec).IsEmpty());
        watch.RefuseNone();
        if (watch.Refused() == 0)
            break;
        EXPECT_EQ(err.FatalCode(), 2) << "allocation " << nth << " refused";
        EXPECT_TRUE(empty);
        EXPECT_FALSE(std::filesystem::exists(name)) << "a local path that came out short is used";
        ErrorCluster unload;
        LoadControllerLibrary(&unload, "absent");
    }
    EXPECT_GT(nth, 10u);
    EXPECT_EQ(Loaded(), name) << "the load that had all its memory";
    TakeLog();
}

// The entry point records the library's own module: its file name is the library's, not the
// executable's.
TEST(SharedLibrary, NamesItsOwnModuleAndTheHostDirectory) {
    const TString path = CommonDLL_FileName(true);
    EXPECT_STREQ(CommonDLL_FileName(false).CStr(), KOA_DEV_LIBRARY_NAME);
    EXPECT_TRUE(DoesFileExists(path)) << path.CStr();
    EXPECT_STREQ((RemoveFileNameFromPath(path) + KOA_DEV_LIBRARY_NAME).CStr(), path.CStr());

    const TString host = LabVIEW_FilePath();
    ASSERT_FALSE(host.IsEmpty());
    EXPECT_NE(std::strchr("\\/", host.CStr()[host.Length() - 1]), nullptr);
    EXPECT_TRUE(DoesFileExists(host + "koa_dev_shared_tests*"));

    ErrorCluster err;
    EXPECT_EQ(GetControllerFunctionAddress(&err, "VerifyControllerConnected"), nullptr);
    EXPECT_EQ(err.Code(), 15);
    EXPECT_TRUE(ControllerDLL_FileName(true).IsEmpty());
}

// Without a resource file beside the executable, the one beside the library is read.
TEST(SharedLibrary, ReadsTheResourceFileBesideTheLibrary) {
    const std::string own = RemoveFileNameFromPath(CommonDLL_FileName(true)).CStr();
    RemoveResourceFile();
    WriteResourceFile({{1, "R:\\"}, {2, "F"}, {3, "P"}, {4, "L"}, {5, "V"}}, own);
    ErrorCluster err;
    ReloadCommonDllResourceFile(&err);
    RemoveResourceFile(own);
    EXPECT_EQ(err.Code(), 0) << err.Source().CStr();
    EXPECT_STREQ(ReleasedDllPath(nullptr).CStr(), "R:\\");
}

} // namespace
