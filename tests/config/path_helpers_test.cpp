#include <koa_dev/koa_dev.h>

#include "config/paths.h"
#include "support/scratch_dir.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace {

using Cases = std::vector<std::pair<std::string, std::string>>;

TEST(PathSplit, FollowsWindowsRules) {
    const Cases fileNames = {{"C:\\dir\\sub\\lib.dll", "lib.dll"},
                             {"C:lib.dll", "lib.dll"},
                             {"lib.dll", "lib.dll"},
                             {"C:\\dir\\", ""},
                             {"\\\\server\\share\\lib.dll", "lib.dll"},
                             {"dir/lib.dll", "lib.dll"}};
    for (const auto& [path, expected] : fileNames)
        EXPECT_EQ(RemovePathFromFileName(path.c_str()).CStr(), expected) << path;
    const Cases directories = {
        {"C:\\dir\\sub\\lib.dll", "C:\\dir\\sub\\"},           {"C:lib.dll", "C:"}, {"lib.dll", ""},
        {"\\\\server\\share\\lib.dll", "\\\\server\\share\\"}, {"a/b\\c", "a/b\\"}, {"/x", "/"}};
    for (const auto& [path, expected] : directories)
        EXPECT_EQ(RemoveFileNameFromPath(path.c_str()).CStr(), expected) << path;
}

// Directories in a library specification are dropped: a library is only ever taken from the
// configured local directory.
TEST(PathSplit, LibrarySpecificationsGiveBareNameAndParameters) {
    const std::vector<std::vector<std::string>> cases = {
        {"ctrl.dll | port 2", "ctrl.dll", "port 2"},
        {"C:\\dir\\ctrl.dll", "ctrl.dll", ""},
        {"a|b|c", "a", "b|c"},
        {" dev.dll ", "dev.dll", ""},
        {"..\\..\\x.dll|p", "x.dll", "p"},
        {"/etc/x.so", "x.so", ""},
        {"\\\\srv\\share\\ d.dll \t|\r\n", "d.dll", ""}};
    for (const auto& c : cases) {
        TString parameters("stale");
        EXPECT_EQ(SplitLibrarySpec(c[0].c_str(), &parameters).CStr(), c[1]) << c[0];
        EXPECT_EQ(parameters.CStr(), c[2]) << c[0];
    }
    EXPECT_STREQ(SplitLibrarySpec("x.dll|p", nullptr).CStr(), "x.dll");
}

class Files : public ScratchDirTest {
  protected:
    static void ExpectTreeError(const ErrorCluster& err, const std::string& path) {
        EXPECT_EQ(err.Code(), 7) << path;
        EXPECT_STREQ(err.Source().CStr(), "Error Unable to create directory tree") << path;
    }
};

TEST_F(Files, DirectorySearchFollowsWindowsWildcardRules) {
    WriteFile(Dir() + "a.txt", "a");
    WriteFile(Dir() + "noext", "n");
    std::filesystem::create_directory(Dir() + "empty");
    const std::string sep = KOA_TEST_SEPARATOR, dir = Dir().substr(0, Dir().size() - 1);
    for (const std::string& found :
         {Dir() + "*.*", Dir() + "empty" + sep + "*.*", Dir() + "*.txt", Dir() + "noext",
          Dir() + "?oext", Dir() + "a.*", Dir() + "noext.*", dir})
        EXPECT_TRUE(DoesFileExists(found.c_str())) << found;
    for (const std::string& missing :
         {Dir() + "missing" + sep + "*.*", Dir() + "*.dll", Dir() + "??oext",
          Dir() + "a.txt" + sep + "*.*", Dir(), std::string()})
        EXPECT_FALSE(DoesFileExists(missing.c_str())) << missing;
#if !defined(_WIN32)
    std::string windowsForm = Dir() + "*.txt";
    std::replace(windowsForm.begin(), windowsForm.end(), '/', '\\');
    EXPECT_TRUE(DoesFileExists(windowsForm.c_str())) << windowsForm;
#endif
}

TEST_F(Files, CreateDirectoryTreeCreatesMissingLevelsOnly) {
    const std::string sep = KOA_TEST_SEPARATOR, dir = Dir().substr(0, Dir().size() - 1);
    ErrorCluster err;
    CreateDirectoryTree(&err, (Dir() + "b" + sep + "c" + sep).c_str());
    EXPECT_TRUE(IsDirectory(Dir() + "b" + sep + "c"));
    for (const std::string& existing : {dir, Dir(), Dir() + "\\//"})
        CreateDirectoryTree(&err, existing.c_str());
    EXPECT_FALSE(err.Status());
    EXPECT_EQ(err.Code(), 0);

    ErrorCluster failed(true, 99, "earlier");
    CreateDirectoryTree(&failed, (Dir() + "new").c_str());
    EXPECT_FALSE(IsDirectory(Dir() + "new"));
    EXPECT_EQ(failed.Code(), 99);
}

TEST_F(Files, CreateDirectoryTreeFailuresAreError7) {
    WriteFile(Dir() + "file.txt", "in the way");
    for (const std::string& path : {std::string("Q:\\x"), std::string("\\\\server\\missing\\x"),
                                    std::string("koa_dev_missing_relative_dir"),
                                    Dir() + "file.txt" KOA_TEST_SEPARATOR "sub"}) {
        ErrorCluster err;
        CreateDirectoryTree(&err, path.c_str());
        ExpectTreeError(err, path);
    }
}

} // namespace
