#include <koa_dev/koa_dev.h>

#include "config/paths.h"
#include "support/scratch_dir.h"

namespace {

using namespace std::string_literals;

// Directories in a library specification are dropped: a library is only ever taken from the
// configured local directory. (The controller road test passes many more library names.)
TEST(PathSplit, FollowsWindowsRulesAndLibrarySpecificationsGiveBareNames) {
    // path, file name, directory
    for (const auto& c : std::vector<std::vector<std::string>>{
             {"C:\\dir\\sub\\lib.dll", "lib.dll", "C:\\dir\\sub\\"},
             {"C:lib.dll", "lib.dll", "C:"},
             {"lib.dll", "lib.dll", ""},
             {"C:\\dir\\", "", "C:\\dir\\"},
             {"\\\\server\\share\\lib.dll", "lib.dll", "\\\\server\\share\\"},
             {"a/b\\c", "c", "a/b\\"},
             {"/x", "x", "/"}}) {
        EXPECT_EQ(RemovePathFromFileName(c[0].c_str()).CStr(), c[1]) << c[0];
        EXPECT_EQ(RemoveFileNameFromPath(c[0].c_str()).CStr(), c[2]) << c[0];
    }
    // library specification, file name, parameters
    for (const auto& c :
         std::vector<std::vector<std::string>>{{"C:\\dir\\ctrl.dll", "ctrl.dll", ""},
                                               {"a|b|c", "a", "b|c"},
                                               {"\\\\srv\\share\\ d.dll \t|\r\n", "d.dll", ""}}) {
        TString parameters("stale");
        EXPECT_EQ(SplitLibrarySpec(c[0].c_str(), &parameters).CStr(), c[1]) << c[0];
        EXPECT_EQ(parameters.CStr(), c[2]) << c[0];
    }
    EXPECT_STREQ(SplitLibrarySpec("x.dll|p", nullptr).CStr(), "x.dll");
}

class Files : public ScratchDirTest {};

// Directory trees are created level by level, or fail with error 7.
TEST_F(Files, SearchFollowsWindowsWildcardRulesAndTreesAreCreated) {
    WriteFile(Dir() + "a.txt", "a");
    WriteFile(Dir() + "noext", "n");
    std::filesystem::create_directory(Dir() + "empty");
    const std::string sep = KOA_TEST_SEPARATOR, dir = Dir().substr(0, Dir().size() - 1);
    // Where the working directory holds a directory named as a drive, the drive is still not it.
    std::error_code ignored;
    std::filesystem::create_directories("Q:/Libs", ignored);
    for (const std::string& found : {Dir() + "*.*", Dir() + "empty" + sep + "*.*", Dir() + "*.txt",
                                     Dir() + "noext", Dir() + "?oext", Dir() + "a.*",
                                     Dir() + "noext.*", Dir() + "noext*", dir, dir + "\\a.txt"})
        EXPECT_TRUE(DoesFileExists(found.c_str())) << found;
    // A network path names no file, even where its names spell one that exists.
    for (const std::string& missing :
         {Dir() + "missing" + sep + "*.*", Dir() + "*.dll", Dir() + "??oext",
          Dir() + "a.txt" + sep + "*.*", Dir(), ""s, "\\" + Dir() + "a.txt", "Q:\\Libs\\*.*"s})
        EXPECT_FALSE(DoesFileExists(missing.c_str())) << missing;
    std::filesystem::remove_all("Q:", ignored);

    ErrorCluster err;
    for (const std::string& path : {Dir() + "b" + sep + "c" + sep, dir, Dir(), Dir() + "\\//"})
        CreateDirectoryTree(&err, path.c_str());
    EXPECT_TRUE(IsDirectory(Dir() + "b" + sep + "c"));
    EXPECT_EQ(err.Code(), 0);
    ErrorCluster failed(true, 99, "earlier");
    CreateDirectoryTree(&failed, (Dir() + "new").c_str());
    EXPECT_FALSE(IsDirectory(Dir() + "new"));
    EXPECT_EQ(failed.Code(), 99);

    for (const std::string& path :
         {"Q:\\x"s, "\\\\server\\missing\\x"s, "koa_dev_missing_relative_dir"s,
          Dir() + "a.txt" + sep + "sub"}) {
        ErrorCluster error;
        CreateDirectoryTree(&error, path.c_str());
        EXPECT_EQ(error.Code(), 7) << path;
        EXPECT_STREQ(error.Source().CStr(), "Error Unable to create directory tree") << path;
    }
}

} // namespace
