#pragma once

#include <koa_dev/paths.h>

#include "support/scratch_dir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

// Gives each test a fresh log file that the fixture libraries (tests/fixtures) append their
// calls to, beside the test executable.
class FixtureLogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        logPath = std::string(LabVIEW_FilePath().CStr()) + info->test_suite_name() + "." +
                  info->name() + ".log";
        std::remove(logPath.c_str());
#if defined(_WIN32)
        _putenv_s("KOA_DEV_FIXTURE_LOG", logPath.c_str());
#else
        setenv("KOA_DEV_FIXTURE_LOG", logPath.c_str(), 1);
#endif
    }

    void TearDown() override {
        std::remove(logPath.c_str());
    }

    // The lines logged since the last call.
    std::vector<std::string> TakeLog() {
        std::vector<std::string> lines;
        std::ifstream in(logPath);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        in.close();
        std::remove(logPath.c_str());
        return lines;
    }

    // A fixture library of the folder "fixtures" beside the test executable.
    static std::string FixturePath(const char* name) {
        return std::string(LabVIEW_FilePath().CStr()) + "fixtures" KOA_TEST_SEPARATOR + name +
               KOA_FIXTURE_SUFFIX;
    }

  private:
    std::string logPath;
};
