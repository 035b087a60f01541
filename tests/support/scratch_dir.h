#pragma once

#include <koa_dev/paths.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#if defined(_WIN32)
#define KOA_TEST_SEPARATOR "\\"
#else
#define KOA_TEST_SEPARATOR "/"
#endif

// Gives each test an empty directory beside the test executable, removed again at its end.
class ScratchDirTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        name = std::string("scratch_") + info->test_suite_name() + "_" + info->name();
        std::filesystem::remove_all(Host() + name);
        std::filesystem::create_directories(Host() + name);
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
    static bool IsDirectory(const std::string& path) { return std::filesystem::is_directory(path); }

  private:
    std::string name;
};
