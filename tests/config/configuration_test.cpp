#include <koa_dev/koa_dev.h>

#include "config/configuration.h"
#include "support/resource_file.h"
#include "support/scratch_dir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <utility>

namespace {

using Strings = std::map<uint16_t, std::string>;

// Each test writes its own koa_dev.rsc beside the executable and reads it with a reload, so the
// order of the tests does not matter.
class Configuration : public ScratchDirTest {
protected:
    void TearDown() override {
        RemoveResourceFile();
        ScratchDirTest::TearDown();
    }

    // Every key, the local library path pointing at the scratch directory.
    Strings AllKeys() const {
        return {{1, "R:\\released\\"},   {2, "F:\\firmware\\"},       {3, "P:\\profiles\\"},
                {4, "C:\\lists\\ctrl.txt"}, {5, "C:\\Data\\rev.txt"}, {100, Dir()},
                {101, "M:\\menus\\"}};
    }

    static ErrorCluster Reload(const Strings& strings) {
        WriteResourceFile(strings);
        ErrorCluster err;
        ReloadCommonDllResourceFile(&err);
        return err;
    }

    static void ExpectError(const ErrorCluster& err, int32_t code, const std::string& source) {
        EXPECT_TRUE(err.Status());
        EXPECT_EQ(err.Code(), code);
        EXPECT_EQ(std::string(err.Source().CStr()), source);
    }

    static void ExpectClean(const ErrorCluster& err) {
        EXPECT_FALSE(err.Status());
        EXPECT_EQ(err.Code(), 0) << err.Source().CStr();
    }
};

TEST_F(Configuration, ReadsTheSevenValuesAndNothingElse) {
    Strings strings = AllKeys();
    strings[6] = "never read";
    strings[99] = "never read";
    ExpectClean(Reload(strings));
    ErrorCluster err;
    EXPECT_STREQ(ReleasedDllPath(&err).CStr(), "R:\\released\\");
    EXPECT_STREQ(FirmwarePath(&err).CStr(), "F:\\firmware\\");
    EXPECT_STREQ(ProfilePath(&err).CStr(), "P:\\profiles\\");
    EXPECT_STREQ(ControllerListFile(&err).CStr(), "C:\\lists\\ctrl.txt");
    EXPECT_STREQ(RevisionCheckFile(&err).CStr(), "C:\\Data\\rev.txt");
    EXPECT_STREQ(LocalDllPath(&err).CStr(), Dir().c_str());
    EXPECT_STREQ(MenuPath(&err).CStr(), "M:\\menus\\");
    ExpectClean(err);
    EXPECT_STREQ(commonDllResourceFile.FormattedPathInfo().CStr(),
                 "Released DLL Path = 'R:\\released\\'\nFirmware Path = 'F:\\firmware\\'\n"
                 "Profile Path = 'P:\\profiles\\'\nController List File = 'C:\\lists\\ctrl.txt'\n"
                 "Revision Check File = 'C:\\Data\\rev.txt'\n");
}

TEST_F(Configuration, MissingFileIsError13AndLeavesEverythingUnknown) {
    ExpectClean(Reload(AllKeys()));
    RemoveResourceFile();
    ErrorCluster err;
    ReloadCommonDllResourceFile(&err);
    ExpectError(err, 13, "Resource File 'koa_dev.rsc' Not Found");

    using Getter = TString (*)(ErrorCluster*);
    const std::pair<Getter, const char*> getters[] = {
        {ReleasedDllPath, "ReleasedDllPath"},       {FirmwarePath, "FirmwarePath"},
        {ProfilePath, "ProfilePath"},               {ControllerListFile, "ControllerListFile"},
        {RevisionCheckFile, "RevisionCheckFile"}, {LocalDllPath, "LocalDllPath"}};
    for (const auto& [getter, name] : getters) {
        ErrorCluster missing;
        EXPECT_STREQ(getter(&missing).CStr(), "<Unknown>");
        ExpectError(missing, 15, std::string(name) + " Resource not Found");
    }
    ErrorCluster menu;
    EXPECT_STREQ(MenuPath(&menu).CStr(), "<Unknown>");
    ExpectError(menu, 15, "MenuPath Resource not Found");
    EXPECT_STREQ(ReleasedDllPath(nullptr).CStr(), "<Unknown>");
}

TEST_F(Configuration, FileThatIsNoLibraryIsError14) {
    WriteFile(Host() + "koa_dev.rsc", "not a library");
    ErrorCluster err;
    ReloadCommonDllResourceFile(&err);
    ExpectError(err, 14, "Error Loading Resource File 'koa_dev.rsc'");
    EXPECT_STREQ(LocalDllPath(nullptr).CStr(), "<Unknown>");
}

TEST_F(Configuration, FirstMissingRequiredKeyIsNamedAndTheRestIsRead) {
    Strings strings = AllKeys();
    strings.erase(2);
    strings.erase(3);
    strings[100] = "scratch_not_created" KOA_TEST_SEPARATOR;
    ErrorCluster err = Reload(strings);
    ExpectError(err, 15, "'FIRMWARE_PATH' Resource not found in file 'koa_dev.rsc'");
    EXPECT_STREQ(ReleasedDllPath(nullptr).CStr(), "R:\\released\\");
    EXPECT_STREQ(ProfilePath(nullptr).CStr(), "<Unknown>");
    EXPECT_STREQ(RevisionCheckFile(nullptr).CStr(), "C:\\Data\\rev.txt");
    EXPECT_STREQ(MenuPath(nullptr).CStr(), "M:\\menus\\");
    // Resolved, but not created while the cluster holds an error.
    const std::string local = Host() + "scratch_not_created" KOA_TEST_SEPARATOR;
    EXPECT_STREQ(LocalDllPath(nullptr).CStr(), local.c_str());
    EXPECT_FALSE(IsDirectory(local));
}

TEST_F(Configuration, LocalDllPathIsResolvedAgainstTheHostDirectory) {
    Strings strings = AllKeys();
    strings.erase(100);
    ExpectClean(Reload(strings));
    EXPECT_STREQ(LocalDllPath(nullptr).CStr(), Host().c_str());

    strings[100] = "<none>";
    ExpectClean(Reload(strings));
    EXPECT_STREQ(LocalDllPath(nullptr).CStr(), Host().c_str());

    const std::string relative = std::string("scratch_Configuration_relative") + KOA_TEST_SEPARATOR;
    strings[100] = relative;
    ExpectClean(Reload(strings));
    EXPECT_STREQ(LocalDllPath(nullptr).CStr(), (Host() + relative).c_str());
    EXPECT_TRUE(IsDirectory(Host() + relative));
    std::filesystem::remove_all(Host() + relative);

    strings[100] = Dir() + "sub" KOA_TEST_SEPARATOR "libs" KOA_TEST_SEPARATOR;
    ExpectClean(Reload(strings));
    EXPECT_STREQ(LocalDllPath(nullptr).CStr(), strings[100].c_str());
    EXPECT_TRUE(IsDirectory(strings[100]));
}

TEST_F(Configuration, LocalDirectoryThatCannotBeCreatedIsError7WithItsPath) {
    Strings strings = AllKeys();
    for (const char* absolute : {"Q:\\Libs\\", "\\\\server\\share\\Libs\\"}) {
        strings[100] = absolute;
        ErrorCluster err = Reload(strings);
        ExpectError(err, 7,
                    std::string("Local DLL Path does not Exist and can not be created '") +
                        absolute + "'");
        EXPECT_STREQ(LocalDllPath(nullptr).CStr(), absolute);
    }
    // A fatal code blocks the message, as it blocks every error.
    ErrorCluster fatal;
    fatal.SetFatal(2);
    ReloadCommonDllResourceFile(&fatal);
    EXPECT_EQ(fatal.Code(), 0);
}

TEST_F(Configuration, MenuPathFallsBackToTheRevisionFilesDirectory) {
    Strings strings = AllKeys();
    strings.erase(101);
    ExpectClean(Reload(strings));
    ErrorCluster err;
    EXPECT_STREQ(MenuPath(&err).CStr(), "C:\\Data\\");
    ExpectClean(err);
}

TEST_F(Configuration, StringsAreCutTo259Characters) {
    Strings strings = AllKeys();
    strings[1] = std::string(300, 'x');
    ExpectClean(Reload(strings));
    EXPECT_EQ(ReleasedDllPath(nullptr).Length(), 259u);
}

TEST_F(Configuration, GettersHonourTheCluster) {
    Strings strings = AllKeys();
    strings[2] = "<not configured>";
    ExpectClean(Reload(strings));
    ErrorCluster failed(true, 99, "earlier");
    EXPECT_TRUE(ReleasedDllPath(&failed).IsEmpty());
    EXPECT_TRUE(MenuPath(&failed).IsEmpty());
    ExpectError(failed, 99, "earlier");

    ErrorCluster warned(false, 3, "a warning");
    EXPECT_STREQ(ReleasedDllPath(&warned).CStr(), "R:\\released\\");
    EXPECT_EQ(warned.Code(), 3);
    EXPECT_STREQ(FirmwarePath(&warned).CStr(), "<not configured>");
    ExpectError(warned, 15, "FirmwarePath Resource not Found");
}

TEST_F(Configuration, ReloadPicksUpEditsAndDeletedKeys) {
    Strings strings = AllKeys();
    ExpectClean(Reload(strings));
    strings[1] = "R:\\new\\";
    strings.erase(101);
    WriteResourceFile(strings);
    EXPECT_STREQ(ReleasedDllPath(nullptr).CStr(), "R:\\released\\"); // not read again by itself

    ErrorCluster failed(true, 99, "earlier");
    ReloadCommonDllResourceFile(&failed);
    EXPECT_STREQ(ReleasedDllPath(nullptr).CStr(), "R:\\released\\");

    ErrorCluster err;
    ReloadCommonDllResourceFile(&err);
    ExpectClean(err);
    EXPECT_STREQ(ReleasedDllPath(nullptr).CStr(), "R:\\new\\");
    EXPECT_STREQ(MenuPath(nullptr).CStr(), "C:\\Data\\");
}

} // namespace
