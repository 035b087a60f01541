#include <koa_dev/koa_dev.h>

#include "config/paths.h"
#include "support/scratch_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace {

using Cases = std::vector<std::pair<const char*, const char*>>;

TEST(PathSplit, FileNameAndDirectoryFollowWindowsRules) {
    const Cases fileNames = {{"C:\\dir\\sub\\lib.dll", "lib.dll"}, {"C:lib.dll", "lib.dll"},
                             {"lib.dll", "lib.dll"},                {"C:\\dir\\", ""},
                             {"\\\\server\\share\\lib.dll", "lib.dll"}, {"dir/lib.dll", "lib.dll"},
                             {"a\\b/c.x.y", "c.x.y"},               {"", ""}};
    for (const auto& [path, expected] : fileNames)
        EXPECT_STREQ(RemovePathFromFileName(path).CStr(), expected) << path;

    const Cases directories = {{"C:\\dir\\sub\\lib.dll", "C:\\dir\\sub\\"}, {"C:lib.dll", "C:"},
                               {"lib.dll", ""}, {"\\\\server\\share\\lib.dll", "\\\\server\\share\\"},
                               {"a/b\\c", "a/b\\"}, {"C:", "C:"}, {"/x", "/"}};
    for (const auto& [path, expected] : directories)
        EXPECT_STREQ(RemoveFileNameFromPath(path).CStr(), expected) << path;
}

TEST(PathSplit, LibrarySpecificationsGiveBareNameAndParameters) {
    struct Case {
        const char* spec;
        const char* file;
        const char* parameters;
    };
    const Case cases[] = {{"ctrl.dll | port 2", "ctrl.dll", "port 2"},
                          {"C:\\dir\\ctrl.dll", "ctrl.dll", ""},
                          {"a|b|c", "a", "b|c"},
                          {" dev.dll ", "dev.dll", ""},
                          {"..\\..\\x.dll|p", "x.dll", "p"},
                          {"/etc/x.so", "x.so", ""},
                          {"\\\\srv\\share\\ dev.dll \t|\r\n", "dev.dll", ""}};
    for (const Case& c : cases) {
        TString parameters("stale");
        EXPECT_STREQ(SplitLibrarySpec(c.spec, &parameters).CStr(), c.file) << c.spec;
        EXPECT_STREQ(parameters.CStr(), c.parameters) << c.spec;
    }
    EXPECT_STREQ(SplitLibrarySpec("x.dll|p", nullptr).CStr(), "x.dll");
}

class DirectorySearch : public ScratchDirTest {};

TEST_F(DirectorySearch, FollowsWindowsWildcardRules) {
    WriteFile(Dir() + "a.txt", "a");
    WriteFile(Dir() + "noext", "n");
    std::filesystem::create_directory(Dir() + "empty");
    const std::string sep = KOA_TEST_SEPARATOR;
    const std::string dir = Dir().substr(0, Dir().size() - 1);
    const std::vector<std::string> found = {Dir() + "*.*",     Dir() + "empty" + sep + "*.*",
                                            Dir() + "*.txt",   Dir() + "noext",
                                            Dir() + "?oext",   Dir() + "a.*",
                                            Dir() + "noext.*", Dir() + "*",
                                            dir};
    for (const std::string& pattern : found)
        EXPECT_TRUE(DoesFileExists(pattern.c_str())) << pattern;
    const std::vector<std::string> notFound = {Dir() + "missing" + sep + "*.*",
                                               Dir() + "*.dll",
                                               Dir() + "??oext",
                                               Dir() + "a.txt" + sep + "*.*",
                                               Dir(),
                                               ""};
    for (const std::string& pattern : notFound)
        EXPECT_FALSE(DoesFileExists(pattern.c_str())) << pattern;
#if !defined(_WIN32)
    std::string windowsForm = Dir() + "*.txt";
    std::replace(windowsForm.begin(), windowsForm.end(), '/', '\\');
    EXPECT_TRUE(DoesFileExists(windowsForm.c_str())) << windowsForm;
#endif
}

class DirectoryTree : public ScratchDirTest {
protected:
    static void ExpectTreeError(const ErrorCluster& err) {
        EXPECT_TRUE(err.Status());
        EXPECT_EQ(err.Code(), 7);
        EXPECT_STREQ(err.Source().CStr(), "Error Unable to create directory tree");
    }
};

TEST_F(DirectoryTree, CreatesEveryMissingLevelAndLeavesExistingOnesAlone) {
    const std::string sep = KOA_TEST_SEPARATOR;
    ErrorCluster err;
    CreateDirectoryTree(&err, (Dir() + "b" + sep + "c" + sep).c_str());
    EXPECT_FALSE(err.Status());
    EXPECT_TRUE(IsDirectory(Dir() + "b" + sep + "c"));
    const std::string dir = Dir().substr(0, Dir().size() - 1);
    for (const std::string& existing : {dir, Dir(), Dir() + "\\//", Dir() + "b/"}) {
        CreateDirectoryTree(&err, existing.c_str());
        EXPECT_FALSE(err.Status()) << existing;
        EXPECT_EQ(err.Code(), 0) << existing;
    }
}

TEST_F(DirectoryTree, PathsThatCannotBeCreatedAreError7) {
    const std::string sep = KOA_TEST_SEPARATOR;
    WriteFile(Dir() + "file.txt", "in the way");
    const std::vector<std::string> impossible = {"Q:\\x", "\\\\server\\missingshare\\x",
                                                 "koa_dev_missing_relative_dir",
                                                 Dir() + "file.txt" + sep + "sub"};
    for (const std::string& path : impossible) {
        ErrorCluster err;
        CreateDirectoryTree(&err, path.c_str());
        ExpectTreeError(err);
    }
    EXPECT_FALSE(IsDirectory("koa_dev_missing_relative_dir"));
}

TEST_F(DirectoryTree, AnEarlierErrorCreatesNothing) {
    ErrorCluster err(true, 99, "earlier");
    CreateDirectoryTree(&err, (Dir() + "new").c_str());
    EXPECT_FALSE(IsDirectory(Dir() + "new"));
    EXPECT_EQ(err.Code(), 99);
    EXPECT_STREQ(err.Source().CStr(), "earlier");
}

} // namespace
