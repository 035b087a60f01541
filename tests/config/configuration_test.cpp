#include <koa_dev/koa_dev.h>

#include "config/configuration.h"
#include "support/resource_file.h"
#include "support/scratch_dir.h"

namespace {

using Strings = std::map<uint16_t, std::string>;

// The seven keys: string id, getter, the getter's name in its message, the value written.
struct Key {
    uint16_t id;
    TString (*get)(ErrorCluster*);
    std::string name, value;
};

// Each test writes its own koa_dev.rsc beside the executable and reloads it, so the tests do not
// depend on each other's order.
class Configuration : public ScratchDirTest {
  protected:
    void TearDown() override {
        RemoveResourceFile();
        ScratchDirTest::TearDown();
    }

    std::vector<Key> Keys() const {
        return {{1, ReleasedDllPath, "ReleasedDllPath", "R:\\rel\\"},
                {2, FirmwarePath, "FirmwarePath", "F:\\fw\\"},
                {3, ProfilePath, "ProfilePath", "P:\\prof\\"},
                {4, ControllerListFile, "ControllerListFile", "C:\\list.txt"},
                {5, RevisionCheckFile, "RevisionCheckFile", "C:\\Data\\rev.txt"},
                {100, LocalDllPath, "LocalDllPath", Dir()},
                {101, MenuPath, "MenuPath", "M:\\menus\\"}};
    }
    Strings AllKeys() const {
        Strings strings;
        for (const Key& key : Keys())
            strings[key.id] = key.value;
        return strings;
    }
    static void ExpectReload(const Strings& strings, int32_t code, const std::string& source) {
        WriteResourceFile(strings);
        ErrorCluster err;
        ReloadCommonDllResourceFile(&err);
        ExpectError(err, code, source);
    }
    static void ExpectError(const ErrorCluster& err, int32_t code, const std::string& source) {
        EXPECT_EQ(err.Status(), code != 0 && code != 3);
        EXPECT_EQ(err.Code(), code);
        EXPECT_EQ(err.Source().CStr(), source);
    }
};

// Values are read only by a reload, and only the seven keys are read; a reload starts afresh,
// names the first required key that is missing, and without a file leaves every value unknown.
// (A file that cannot be read is checked by the controller road test.)
TEST_F(Configuration, AReloadReadsTheSevenValuesAndNothingElseAndStartsAfresh) {
    Strings strings = AllKeys();
    strings[6] = strings[99] = "never read";
    ExpectReload(strings, 0, "");
    ErrorCluster err;
    for (const Key& key : Keys())
        EXPECT_EQ(key.get(&err).CStr(), key.value) << key.name;
    ExpectError(err, 0, "");
    EXPECT_STREQ(commonDllResourceFile.FormattedPathInfo().CStr(),
                 "Released DLL Path = 'R:\\rel\\'\nFirmware Path = 'F:\\fw\\'\nProfile Path = "
                 "'P:\\prof\\'\nController List File = 'C:\\list.txt'\nRevision Check File = "
                 "'C:\\Data\\rev.txt'\n");

    strings = {{1, "R:\\new\\"}, {4, "L"}, {100, "scratch_not_created" KOA_TEST_SEPARATOR}};
    WriteResourceFile(strings);
    ErrorCluster failed(true, 99, "earlier");
    ReloadCommonDllResourceFile(&failed);
    EXPECT_STREQ(ReleasedDllPath(nullptr).CStr(), "R:\\rel\\");
    ExpectReload(strings, 15, "'FIRMWARE_PATH' Resource not found in file 'koa_dev.rsc'");
    EXPECT_STREQ(ReleasedDllPath(nullptr).CStr(), "R:\\new\\");
    EXPECT_STREQ(ControllerListFile(nullptr).CStr(), "L");
    EXPECT_STREQ(RevisionCheckFile(nullptr).CStr(), "<Unknown>");
    EXPECT_STREQ(MenuPath(nullptr).CStr(), "<Unknown>");
    // Resolved, but not created while the cluster holds an error.
    EXPECT_EQ(LocalDllPath(nullptr).CStr(), Host() + strings[100]);
    EXPECT_FALSE(IsDirectory(Host() + strings[100]));

    RemoveResourceFile();
    ErrorCluster missingFile;
    ReloadCommonDllResourceFile(&missingFile);
    ExpectError(missingFile, 13, "Resource File 'koa_dev.rsc' Not Found");
    for (const Key& key : Keys()) {
        ErrorCluster missing;
        EXPECT_STREQ(key.get(&missing).CStr(), "<Unknown>");
        ExpectError(missing, 15, key.name + " Resource not Found");
    }
}

// Relative paths are taken from the host's directory and created; absolute ones stay as they
// are, and the directory tree's own message gives way. A drive or a network path is never a
// directory relative to the working directory, even where one of that name exists.
TEST_F(Configuration, LocalDllPathIsResolvedAndCreated) {
    const std::string relative = "scratch_relative" KOA_TEST_SEPARATOR,
                      nested = Dir() + "sub" KOA_TEST_SEPARATOR "libs" KOA_TEST_SEPARATOR;
    std::error_code ignored;
#if !defined(_WIN32)
    std::filesystem::create_directories("Q:/Libs", ignored);
#endif
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", Host()},     {"<none>", Host()}, {relative, Host() + relative},
        {nested, nested}, {"Q:\\Libs\\", ""}, {"\\\\server\\share\\Libs\\", ""}};
    for (const auto& [value, path] : cases) {
        Strings strings = AllKeys();
        strings[100] = value;
        ExpectReload(strings, path.empty() ? 7 : 0,
                     path.empty()
                         ? "Local DLL Path does not Exist and can not be created '" + value + "'"
                         : "");
        EXPECT_EQ(LocalDllPath(nullptr).CStr(), path.empty() ? value : path);
        EXPECT_EQ(IsDirectory(path), !path.empty()) << value;
    }
    std::filesystem::remove_all(Host() + relative);
#if !defined(_WIN32)
    std::filesystem::remove_all("Q:", ignored);
#endif
    ErrorCluster fatal;
    fatal.SetFatal(2);
    ReloadCommonDllResourceFile(&fatal);
    EXPECT_EQ(fatal.Code(), 0);
}

TEST_F(Configuration, GettersHonourTheClusterAndDeriveTheMenuPath) {
    Strings strings = AllKeys();
    strings[1] = std::string(300, 'x');
    strings[2] = "<not configured>";
    strings.erase(101);
    ExpectReload(strings, 0, "");
    ErrorCluster failed(true, 99, "earlier");
    for (const Key& key : Keys())
        EXPECT_TRUE(key.get(&failed).IsEmpty()) << key.name;
    ExpectError(failed, 99, "earlier");

    ErrorCluster warned(false, 3, "a warning");
    EXPECT_EQ(ReleasedDllPath(&warned).CStr(), std::string(259, 'x'));
    EXPECT_STREQ(MenuPath(&warned).CStr(), "C:\\Data\\");
    ExpectError(warned, 3, "a warning");
    EXPECT_STREQ(FirmwarePath(&warned).CStr(), "<not configured>");
    ExpectError(warned, 15, "FirmwarePath Resource not Found");
}

} // namespace
