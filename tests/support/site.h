#pragma once

#include <koa_dev/koa_dev.h>

#include "support/resource_file.h"
#include "support/scratch_dir.h"

#include <algorithm>

// A site in a scratch directory: koa_dev.rsc beside the test program names a released and a local
// library directory and a controller list file, written with backslashes as on Windows. Each test
// ends with no controller library loaded.
class SiteTest : public ScratchDirTest {
  protected:
    void SetUp() override {
        ScratchDirTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(UseSite(""));
    }
    void TearDown() override {
        ErrorCluster unload;
        LoadControllerLibrary(&unload, "absent");
        RemoveResourceFile();
        ScratchDirTest::TearDown();
    }

    // Configures <sub>released, created here, and the local directory (<sub>local unless given),
    // which loading the configuration creates.
    void UseSite(const std::string& sub, const std::string& localDir = "") {
        released = Dir() + sub + "released" KOA_TEST_SEPARATOR;
        local = localDir.empty() ? Dir() + sub + "local" KOA_TEST_SEPARATOR : localDir;
        std::filesystem::create_directories(released);
        const std::string list = Backslashed(Dir() + "controllers.txt"),
                          releasedPath = Backslashed(released), localPath = Backslashed(local);
        WriteResourceFile(
            {{1, releasedPath}, {2, "F"}, {3, "P"}, {4, list}, {5, "V"}, {100, localPath}});
        ErrorCluster err;
        ReloadCommonDllResourceFile(&err);
        ASSERT_FALSE(err.Status()) << err.Source().CStr();
    }
    // The fixture libraries' calls since the last look, "; " between two.
    std::string Log() const {
        std::string text;
        for (const std::string& line : TakeLog())
            text += (text.empty() ? "" : "; ") + line;
        return text;
    }
    static std::string Backslashed(std::string path) {
        std::replace(path.begin(), path.end(), '/', '\\');
        return path;
    }
    // The cluster holds code and source (code 0: nothing); a warning (1 to 4) is no error.
    static void Expect(const ErrorCluster& err, LV_int32 code, const std::string& source) {
        EXPECT_EQ(err.Code(), code);
        EXPECT_EQ(err.Status(), code != 0 && (code < 1 || code > 4));
        EXPECT_EQ(err.Source().CStr(), source);
    }

    std::string released, local;
};
