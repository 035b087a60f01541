#include <koa_dev/koa_dev.h>

#include "config/configuration.h"
#include "support/resource_file.h"
#include "support/scratch_dir.h"

namespace {

using Strings = std::map<uint16_t, std::string>;

// The seven keys: string id, getter, the getter's name in its message, the value written.
using KeyTable =
    std::vector<std::tuple<uint16_t, TString (*)(ErrorCluster*), std::string, std::string>>;

// The test writes koa_dev.rsc beside the executable and reloads it.
class Configuration : public ScratchDirTest {
  protected:
    KeyTable Keys() const {
        return {{1, ReleasedDllPath, "ReleasedDllPath", "R\\"},
                {2, FirmwarePath, "FirmwarePath", "F"},
                {3, ProfilePath, "ProfilePath", "P"},
                {4, ControllerListFile, "ControllerListFile", "L.txt"},
                {5, RevisionCheckFile, "RevisionCheckFile", "C:\\D\\r"},
                {100, LocalDllPath, "LocalDllPath", Dir()},
                {101, MenuPath, "MenuPath", "M:\\menus\\"}};
    }
    // The seven values, with some changed or added; an empty value is one left out.
    Strings AllKeys(const Strings& changes = {}) const {
        Strings strings = changes;
        for (const auto& [id, get, name, value] : Keys())
            strings.emplace(id, value);
        return strings;
    }
    // Writes koa_dev.rsc with the strings (no strings: removes it), reloads it with err and
    // expects err to end with the code and source given.
    static void ExpectReload(const Strings& strings, int32_t code, const std::string& source,
                             ErrorCluster err = {}) {
        strings.empty() ? RemoveResourceFile() : WriteResourceFile(strings);
        ReloadCommonDllResourceFile(&err);
        ExpectError(err, code, source);
    }
    static void ExpectError(const ErrorCluster& err, int32_t code, const std::string& source) {
        EXPECT_EQ(std::make_tuple(err.Status(), err.Code(), std::string(err.Source().CStr())),
                  std::make_tuple(code != 0 && code != 3, code, source));
    }
};

// Values are read only by a reload, and only the seven keys are read; a reload starts afresh,
// names the first required key that is missing, and without a file leaves every value unknown.
// A getter given a failed cluster gives the empty string. (A file that cannot be read is checked
// by the controller road test.)
TEST_F(Configuration, AReloadReadsTheSevenValuesResolvesTheLocalPathAndTheGettersReport) {
    // The first read loads the file, once: a getter given a failed cluster does not load, and
    // the errors of the first load are not reported. The object is made afresh, as in a process
    // that has not read its configuration yet.
    commonDllResourceFile = CommonDllResourceFile();
    WriteResourceFile(AllKeys());
    ErrorCluster skipped(true, 99, "earlier");
    EXPECT_TRUE(ReleasedDllPath(&skipped).IsEmpty());
    RemoveResourceFile();
    ErrorCluster implicit;
    EXPECT_STREQ(LocalDllPath(&implicit).CStr(), "<Unknown>");
    ExpectError(implicit, 15, "LocalDllPath Resource not Found");
    WriteResourceFile(AllKeys());
    EXPECT_STREQ(ReleasedDllPath(nullptr).CStr(), "<Unknown>");

    ExpectReload(AllKeys({{6, "never read"}, {99, "never read"}}), 0, "");
    ErrorCluster err;
    for (const auto& [id, get, name, value] : Keys())
        EXPECT_EQ(get(&err).CStr(), value) << name;
    ExpectError(err, 0, "");
    EXPECT_STREQ(commonDllResourceFile.FormattedPathInfo().CStr(),
                 "Released DLL Path = 'R\\'\nFirmware Path = 'F'\nProfile Path = 'P'\n"
                 "Controller List File = 'L.txt'\nRevision Check File = 'C:\\D\\r'\n");
    const std::string notCreated = Dir().substr(Host().size()) + "not_created" KOA_TEST_SEPARATOR;
    const Strings changed = {{1, "R:\\new\\"}, {4, "L"}, {100, notCreated}};
    ExpectReload(changed, 99, "earlier", ErrorCluster(true, 99, "earlier"));
    EXPECT_STREQ(ReleasedDllPath(nullptr).CStr(), "R\\");
    ExpectReload(changed, 15, "'FIRMWARE_PATH' Resource not found in file 'koa_dev.rsc'");
    EXPECT_STREQ(ReleasedDllPath(nullptr).CStr(), "R:\\new\\");
    EXPECT_STREQ(ControllerListFile(nullptr).CStr(), "L");
    EXPECT_STREQ(RevisionCheckFile(nullptr).CStr(), "<Unknown>");
    EXPECT_STREQ(MenuPath(nullptr).CStr(), "<Unknown>");
    // Resolved, but not created while the cluster holds an error.
    EXPECT_EQ(LocalDllPath(nullptr).CStr(), Host() + notCreated);
    EXPECT_FALSE(IsDirectory(Host() + notCreated));

    // Long values are cut; one that begins with '<' counts as missing, and replaces a warning
    // with an error; without a menu path, the revision check file's directory is given.
    ExpectReload(AllKeys({{1, std::string(300, 'x')}, {2, "<not configured>"}, {101, ""}}), 0, "");
    ErrorCluster warned(false, 3, "a warning");
    EXPECT_EQ(ReleasedDllPath(&warned).CStr(), std::string(259, 'x'));
    EXPECT_STREQ(MenuPath(&warned).CStr(), "C:\\D\\");
    ExpectError(warned, 3, "a warning");
    EXPECT_STREQ(FirmwarePath(&warned).CStr(), "<not configured>");
    ExpectError(warned, 15, "FirmwarePath Resource not Found");

    // Relative local library paths are taken from the host's directory and created; absolute
    // ones stay as they are, and the directory tree's own message gives way.
    const std::string relative = Dir().substr(Host().size()) + "relative" KOA_TEST_SEPARATOR,
                      nested = Dir() + "sub" KOA_TEST_SEPARATOR "libs" KOA_TEST_SEPARATOR;
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", Host()},     {"<none>", Host()}, {relative, Host() + relative},
        {nested, nested}, {"Q:\\Libs\\", ""}, {"\\\\server\\share\\Libs\\", ""}};
    const std::string cannotCreate = "Local DLL Path does not Exist and can not be created '";
    for (const auto& [value, path] : cases) {
        ExpectReload(AllKeys({{100, value}}), path.empty() ? 7 : 0,
                     path.empty() ? cannotCreate + value + "'" : "");
        EXPECT_EQ(LocalDllPath(nullptr).CStr(), path.empty() ? value : path);
        EXPECT_EQ(IsDirectory(path), !path.empty()) << value;
    }

    // Without a file every value is unknown; the test ends with no file left.
    ExpectReload({}, 13, "Resource File 'koa_dev.rsc' Not Found");
    for (const auto& [id, get, name, value] : Keys()) {
        ErrorCluster missing, failed(true, 99, "earlier");
        EXPECT_STREQ(get(&missing).CStr(), "<Unknown>");
        ExpectError(missing, 15, name + " Resource not Found");
        EXPECT_TRUE(get(&failed).IsEmpty()) << name;
        ExpectError(failed, 99, "earlier");
    }
}

} // namespace
