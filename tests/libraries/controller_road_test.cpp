#include "support/allocations.h"
#include "support/site.h"

#if !defined(_WIN32)
#include <sys/stat.h>
#endif

#include <iterator>

namespace {

namespace fs = std::filesystem;

// A fixture library's file name.
std::string Lib(const std::string& name) {
    return name + KOA_FIXTURE_SUFFIX;
}

std::string Loaded() {
    return ControllerDLL_FileName(false).CStr();
}

// The site's released directory holds the fixture libraries (tests/fixtures, with version
// resources), its local directory nothing.
class ControllerRoad : public SiteTest {
  protected:
    void SetUp() override {
        SiteTest::SetUp();
        for (const auto& entry : fs::directory_iterator(Host() + "shared/fixtures"))
            fs::copy_file(entry.path(), released + entry.path().filename().string());
    }
    void List(const std::string& text) const { WriteFile(Dir() + "controllers.txt", text); }
    void Place(const std::string& name) const { fs::copy_file(released + name, local + name); }
};

// The list's first line is longer than an entry's 100 characters: it gives two entries.
TEST_F(ControllerRoad, ListModeConnectsOrReportsAndDevicesLoadOnTop) {
    const std::string fails = Lib("ctrl_fails") + "|", cut(100 - fails.size(), 'x');
    List("\r\n  " + fails + cut + fails + " a\r\n\n " + Lib("ctrl_full") + "|port 2 \n" +
         Lib("ctrl_minimal") + "\n");
    ErrorCluster err, failed(true, 99, "earlier");
    const std::string name = Lib("ctrl_full"), dev = Lib("dev_full");
    const std::string pre = "Controller Library '" + name + "' is a Pre-Release Version!";
    EXPECT_EQ(LoadControllerLibrary(&err, "").CStr(), "Warning!!!    " + pre);
    Expect(err, 3, pre);
    EXPECT_EQ(ControllerDLL_FileName(true).CStr(), local + name);
    EXPECT_NE(DebugTools(nullptr), nullptr);
    EXPECT_EQ(DebugTools(&failed), nullptr);
    EXPECT_EQ(GetControllerFunctionAddress(&failed, "ControllerExit"), nullptr);
    EXPECT_EQ(Log(), "ctrl_fails: VerifyControllerConnected(" + cut +
                         "); ctrl_fails: unloaded(); ctrl_fails: VerifyControllerConnected(a); "
                         "ctrl_fails: unloaded(); ctrl_full: VerifyControllerConnected(port 2); "
                         "ctrl_full: ControllerObjectPointer(DebugTools)");

    EXPECT_STREQ(ID_Device(&err).CStr(), "ctrl_full device");
    Place(dev);
    EXPECT_STREQ(LoadDeviceLibrary(&err, (dev + " | COM1").c_str()).CStr(), "dev_full ready: COM1");
    EXPECT_STREQ(LoadDeviceLibrary(&err, (dev + "|COM2").c_str()).CStr(), "dev_full ready: COM2");
    EXPECT_EQ(GetDeviceFunctionAddress(&failed, "LibraryExit"), nullptr);
    Expect(failed, 99, "earlier");
    EXPECT_EQ(Log(), "ctrl_full: ID_Device(); dev_full: LibraryInitilize(COM1); dev_full: "
                     "LibraryExit(); dev_full: unloaded(); dev_full: LibraryInitilize(COM2)");

    // Named mode, with a drive and directory that are not used: both libraries are unloaded,
    // the controller is loaded afresh from the local directory.
    EXPECT_FALSE(
        LoadControllerLibrary(&err, ("C:\\elsewhere\\" + name + " | a|b").c_str()).IsEmpty());
    EXPECT_EQ(Log(), "dev_full: LibraryExit(); dev_full: unloaded(); ctrl_full: ControllerExit(); "
                     "ctrl_full: unloaded(); ctrl_full: VerifyControllerConnected(a|b); "
                     "ctrl_full: ControllerObjectPointer(DebugTools)");
    EXPECT_STREQ(LoadDeviceLibrary(&err, dev.c_str()).CStr(), "dev_full ready: ");
    EXPECT_TRUE(LoadDeviceLibrary(&err, "").IsEmpty());
    EXPECT_TRUE(DeviceDLL_FileName(false).IsEmpty());
    Expect(err, 3, pre);
    ErrorCluster noDevice;
    EXPECT_EQ(GetDeviceFunctionAddress(&noDevice, "LibraryExit"), nullptr);
    Expect(noDevice, 15, "Device DLL Not Loaded");

    // List loads that fail, each after a named load (list "": none): their reports, and whether
    // the loaded controller goes.
    const std::tuple<std::string, LV_int32, std::string, bool> cases[] = {
        {"", 7, "Unable to open Controller List File", false},
        {Lib("ctrl_fails") + "\n" + Lib("absent") + "\n" + name + "|offline\n", -1223,
         "Unable to Communicate with Controller", true},
        {" \r\n\t\n", 15, "Verify Controller DLL Version - No Controller DLL is Loaded", true},
    };
    for (const auto& [list, code, source, unloads] : cases) {
        ErrorCluster loaded, failing;
        LoadControllerLibrary(&loaded, name.c_str());
        fs::remove_all(Dir() + "controllers.txt");
        if (!list.empty())
            List(list);
        EXPECT_TRUE(LoadControllerLibrary(&failing, "").IsEmpty());
        Expect(failing, code, source);
        EXPECT_EQ(Loaded(), unloads ? "" : name);
    }
}

// Device loads on a loaded controller, then controller loads, then a device load without one.
TEST_F(ControllerRoad, NamedModeAndDeviceFailures) {
    WriteFile(local + Lib("junk"), "not a library");
    for (const char* name : {"dev_no_init", "dev_fails"})
        Place(Lib(name));
    const std::tuple<bool, std::string, LV_int32, std::string, std::string> cases[] = {
        {true, Lib("dev_no_init"), 12, "Device Function 'LibraryInitilize' Not Found in Device DLL",
         "dev_no_init: unloaded()"},
        {true, Lib("dev_fails") + "|x", 5001, "dev_fails: device not initialised",
         "dev_fails: LibraryInitilize(x); dev_fails: unloaded()"},
        {true, Lib("junk"), 14, "Error Loading Device Library '" + Lib("junk") + "'", ""},
        {true, "   ", 14, "Error Loading Device Library ''", ""},
        {false, Lib("ctrl_no_verify"), 12,
         "Controller Function 'VerifyControllerConnected' Not Found in DLL",
         "ctrl_full: ControllerExit(); ctrl_full: unloaded(); ctrl_no_verify: unloaded()"},
        {false, Lib("junk"), 14, "Error Loading Controller Library '" + Lib("junk") + "'", ""},
        {false, " " + Lib("ctrl_minimal") + " | offline ", 5000,
         "ctrl_minimal: controller not connected",
         "ctrl_minimal: VerifyControllerConnected(offline); ctrl_minimal: unloaded()"},
        {true, Lib("dev_full"), 14,
         "Load Device Library - Can not load Device Library without Controller Library Already "
         "Loaded",
         ""},
    };
    ErrorCluster noDevice;
    LoadControllerLibrary(&noDevice, (Lib("ctrl_full") + "|no device").c_str());
    EXPECT_STREQ(ID_Device(&noDevice).CStr(), "ctrl_full device");
    Expect(noDevice, -1236, "Unable to Identify Device");
    TakeLog();
    for (const auto& [device, spec, code, source, log] : cases) {
        ErrorCluster err;
        EXPECT_TRUE((device ? LoadDeviceLibrary(&err, spec.c_str())
                            : LoadControllerLibrary(&err, spec.c_str()))
                        .IsEmpty());
        Expect(err, code, source);
        EXPECT_TRUE((device ? DeviceDLL_FileName(false) : ControllerDLL_FileName(false)).IsEmpty());
        EXPECT_EQ(Log(), log);
    }
    ErrorCluster noId, missingId;
    ID_Device(&noId);
    Expect(noId, 15, "Controller DLL Not Loaded");
    LoadControllerLibrary(&missingId, Lib("ctrl_minimal").c_str());
    missingId.ResetAll();
    ID_Device(&missingId);
    Expect(missingId, 12, "Controller Function 'ID_Device' Not Found in DLL");

    // The library cannot be copied, and the attempt, which never began, unloads nothing: the local
    // directory is gone, or (where a path can be longer) its files' paths are beyond the limit of
    // 259 characters, which the directory itself meets.
#if defined(_WIN32)
    ASSERT_NO_FATAL_FAILURE(UseSite("", Dir() + "gone" KOA_TEST_SEPARATOR));
    fs::remove(Dir() + "gone");
#else
    const std::string deep = local + std::string(255 - local.size(), 'd') + "/";
    ASSERT_NO_FATAL_FAILURE(UseSite("", deep));
    EXPECT_TRUE(DoesFileExists((deep + "*.*").c_str()));
#endif
    ErrorCluster noCopy;
    EXPECT_TRUE(LoadControllerLibrary(&noCopy, Lib("ctrl_full").c_str()).IsEmpty());
    Expect(noCopy, 14, "Unable to Update Local DLL '" + Lib("ctrl_full") + "'\n");
    EXPECT_EQ(Loaded(), Lib("ctrl_minimal"));
}

#if !defined(_WIN32)
// Where the site has a file stands a directory, a FIFO without a writer, a link to itself, a device
// or a sparse file over every size limit: each operation gives its own error at once, without
// waiting on a FIFO or reading the file into memory, and keeps nothing open.
TEST_F(ControllerRoad, FilesThatAreNotRegularFilesAreNotFoundOrNotLoaded) {
    const std::string x = Lib("x"), list = Dir() + "controllers.txt";
    const std::tuple<std::string, LV_int32, std::string> roles[] = {
        {ResourceFilePath(), 14, "Error Loading Resource File 'koa_dev.rsc'"},
        {list, 7, "Unable to open Controller List File"},
        {released + x, 13, "DLL '" + x + "' was Not Found or is Invalid\n"},
        {local + x, 14, "Error Loading Controller Library '" + x + "'"},
    };
    const auto fds = [] { return std::distance(fs::directory_iterator("/proc/self/fd"), {}); };
    const auto opened = fds();
    using Make = void (*)(const std::string&);
    const Make kinds[] = {[](const std::string& p) { fs::create_directory(p); },
                          [](const std::string& p) { ASSERT_EQ(mkfifo(p.c_str(), 0600), 0); },
                          [](const std::string& p) { fs::create_symlink(p, p); },
                          [](const std::string& p) { fs::create_symlink("/dev/zero", p); },
                          [](const std::string& p) {
                              WriteFile(p, "MZ");
                              fs::resize_file(p, (1ull << 30) + 1);
                          }};
    for (const auto& [path, code, source] : roles)
        for (const Make& make : kinds) {
            SCOPED_TRACE(path + ", kind " + std::to_string(&make - kinds));
            fs::remove(path);
            make(path);
            ErrorCluster err;
            if (path == ResourceFilePath())
                ReloadCommonDllResourceFile(&err);
            else
                LoadControllerLibrary(&err, path == list ? "" : x.c_str());
            Expect(err, code, source);
            EXPECT_EQ(Loaded(), "");
            fs::remove(path);
            ASSERT_NO_FATAL_FAILURE(UseSite(""));
        }
    List(Lib("ctrl_full"));
    ErrorCluster copied;
    LoadControllerLibrary(&copied, "");
    EXPECT_EQ(Loaded(), Lib("ctrl_full"));
    EXPECT_EQ(fds(), opened); // nothing refused or copied is left open
}

// Out of memory anywhere on the road, a load throws nothing and reports LabVIEW's "memory full" as
// the fatal code. The test program refuses one allocation after another. (On Windows the library
// allocates with an operator new of its own.)
TEST_F(ControllerRoad, OutOfMemoryIsFatalCode2AndNothingIsThrown) {
    const TString spec(Lib("ctrl_full").c_str());
    size_t nth = 1;
    for (size_t refused = 1; refused > 0; ++nth) {
        ErrorCluster err, unload;
        bool empty = false;
        allocations::Watch watch;
        watch.RefuseNth(nth + 1); // the first request is the caller's copy of the name
        EXPECT_NO_THROW(empty = LoadControllerLibrary(&err, spec).IsEmpty());
        watch.RefuseNone();
        refused = watch.Refused();
        EXPECT_EQ(err.FatalCode(), refused ? 2 : 0) << "allocation " << nth << " refused";
        EXPECT_EQ(empty, refused > 0);
        LoadControllerLibrary(&unload, "absent");
    }
    EXPECT_GT(nth, 10u);
}
#endif

// The entry point records the library's own module: its file name is the library's, not the
// executable's. Without a resource file beside the executable, the one beside the library is read.
TEST(SharedLibrary, NamesItsOwnModuleAndReadsTheResourceFileBesideIt) {
    const TString path = CommonDLL_FileName(true), own = RemoveFileNameFromPath(path);
    EXPECT_STREQ(CommonDLL_FileName(false).CStr(), KOA_DEV_LIBRARY_NAME);
    EXPECT_TRUE(DoesFileExists(path)) << path.CStr();
    EXPECT_STREQ((own + KOA_DEV_LIBRARY_NAME).CStr(), path.CStr());
    const TString host = LabVIEW_FilePath();
    EXPECT_FALSE(host.IsEmpty());
    EXPECT_TRUE(DoesFileExists(host + "koa_dev_shared_tests*"));
    EXPECT_TRUE(ControllerDLL_FileName(true).IsEmpty());
    ErrorCluster read;

    RemoveResourceFile();
    WriteResourceFile({{1, "R:\\"}, {2, "F"}, {3, "P"}, {4, "L"}, {5, "V"}}, own.CStr());
    ReloadCommonDllResourceFile(&read);
    RemoveResourceFile(own.CStr());
    EXPECT_EQ(read.Code(), 0) << read.Source().CStr();
    EXPECT_STREQ(ReleasedDllPath(nullptr).CStr(), "R:\\");
}

} // namespace
