#pragma once

#include <koa_dev/lvhost.h>

#include <gtest/gtest.h>

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

  private:
    size_t liveAtStart = 0;
};
