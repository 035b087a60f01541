#pragma once

#include <koa_dev/paths.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

#if defined(_WIN32)
#define KOA_TEST_SEPARATOR "\\"
#else
#define KOA_TEST_SEPARATOR "/"
#endif

// Points the fixture libraries' call log (tests/fixtures) at path.
inline void LogFixtureCallsTo(const std::string& path) {
#if defined(_WIN32)
    _putenv_s("KOA_DEV_FIXTURE_LOG", path.c_str());
#else
    setenv("KOA_DEV_FIXTURE_LOG", path.c_str(), 1);
#endif
}

// The lines of the file at path, which is removed, so that the next read starts afresh.
inline std::vector<std::string> TakeLines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    in.close();
    std::filesystem::remove(path);
    return lines;
}

// Gives each test an empty directory beside the test executable, removed again at its end.
class ScratchDirTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        name = std::string("scratch_") + info->test_suite_name() + "_" + info->name();
        std::filesystem::remove_all(Host() + name);
        std::filesystem::create_directories(Host() + name);
        LogFixtureCallsTo(Dir() + "log");
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(Host() + name, ignored);
    }

    std::string Dir() const { return Host() + name + KOA_TEST_SEPARATOR; }
    static std::string Host() { return LabVIEW_FilePath().CStr(); }
    static void WriteFile(const std::string& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }
    // The fixture libraries' calls since the last look.
    std::vector<std::string> TakeLog() const { return TakeLines(Dir() + "log"); }
    static bool IsDirectory(const std::string& path) { return std::filesystem::is_directory(path); }

  private:
    std::string name;
};
