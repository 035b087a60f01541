#pragma once

#include <koa_dev/lv_types.h>
#include <koa_dev/lvhost.h>

#include <gtest/gtest.h>

#include <string>

// Base fixture for tests that hand LabVIEW handles to the library: starts each test with fresh
// manager counters and fails it when a handle it created is still alive at the end.
class LvTest : public ::testing::Test {
  protected:
    void SetUp() override {
        lvhost::Reset();
        liveAtStart = lvhost::LiveHandles();
    }
    void TearDown() override {
        lvhost::Reset();
        EXPECT_EQ(lvhost::LiveHandles(), liveAtStart) << "a LabVIEW handle leaked";
    }

    static std::string Text(LStr** h) {
        return std::string(reinterpret_cast<const char*>((*h)->str),
                           static_cast<size_t>((*h)->cnt));
    }

  private:
    size_t liveAtStart = 0;
};
