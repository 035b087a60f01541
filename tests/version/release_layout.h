#pragma once

#include <koa_dev/koa_dev.h>

#include "modules/module_handles.h"
#include "platform/modules.h"
#include "support/resource_file.h"
#include "support/scratch_dir.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

// A released and a local library directory named by a koa_dev.rsc beside the test program, the
// fixture libraries with chosen versions (tests/version/CMakeLists.txt) to put into them, and the
// log of the fixtures' calls.
class ReleaseLayout : public ScratchDirTest {
  protected:
    void SetUp() override {
        ScratchDirTest::SetUp();
        UseLayout("");
    }
    void TearDown() override {
        ErrorCluster clean;
        UnloadControllerLibrary(&clean);
        RemoveResourceFile();
        ErrorCluster reload;
        ReloadCommonDllResourceFile(&reload);
        ScratchDirTest::TearDown();
    }

    // Points the configuration at <scratch>/<sub>released and <sub>local, both created.
    void UseLayout(const std::string& sub) {
        released = Dir() + sub + "released" KOA_TEST_SEPARATOR;
        local = Dir() + sub + "local" KOA_TEST_SEPARATOR;
        std::filesystem::create_directories(released);
        std::filesystem::create_directories(local);
        WriteResourceFile({{1, released},
                           {2, "fw\\"},
                           {3, "pr\\"},
                           {4, "list.txt"},
                           {5, "rev.txt"},
                           {100, local}});
        ErrorCluster err;
        ReloadCommonDllResourceFile(&err);
        ASSERT_FALSE(err.Status()) << err.Source().CStr();
    }

    static std::string Fixture(const std::string& name) {
        return Host() + "fixtures" KOA_TEST_SEPARATOR + name + KOA_FIXTURE_SUFFIX;
    }
    // Copies the fixture to path; an empty fixture name puts nothing there.
    static void Place(const std::string& fixture, const std::string& path) {
        if (fixture.empty())
            return;
        std::filesystem::remove(path);
        std::filesystem::copy_file(Fixture(fixture), path);
    }
    static void Load(void*& handle, const std::string& path) {
        handle = koa::platform::LoadLibraryModule(path.c_str());
        ASSERT_NE(handle, nullptr) << path;
    }
    static std::string ReadAll(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }
    std::string TakeLog() {
        std::string log = ReadAll(Dir() + "log");
        log.erase(std::remove(log.begin(), log.end(), '\r'), log.end());
        std::filesystem::remove(Dir() + "log");
        return log;
    }

    std::string released, local;
};
