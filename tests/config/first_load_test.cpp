#include <koa_dev/koa_dev.h>

#include "support/resource_file.h"

#include <gtest/gtest.h>

namespace {

// Alone in its executable: it needs a process whose configuration has not been read yet. A
// getter given a failed cluster does not load; the first read loads once, and its errors are
// not reported; a reload loads again.
TEST(FirstLoad, HappensOnceOnFirstReadAndKeepsItsErrorsToItself) {
    WriteResourceFile({{1, "R:\\"}, {2, "F"}, {3, "P"}, {4, "L"}, {5, "V"}});
    ErrorCluster failed(true, 99, "earlier");
    EXPECT_TRUE(ReleasedDllPath(&failed).IsEmpty());
    RemoveResourceFile();
    ErrorCluster err;
    EXPECT_STREQ(LocalDllPath(&err).CStr(), "<Unknown>");
    EXPECT_STREQ(err.Source().CStr(), "LocalDllPath Resource not Found");

    WriteResourceFile({{1, "R:\\"}, {2, "F"}, {3, "P"}, {4, "L"}, {5, "V"}});
    EXPECT_STREQ(ReleasedDllPath(nullptr).CStr(), "<Unknown>");
    ErrorCluster reload;
    ReloadCommonDllResourceFile(&reload);
    EXPECT_EQ(reload.Code(), 0);
    EXPECT_STREQ(ReleasedDllPath(nullptr).CStr(), "R:\\");
    RemoveResourceFile();
}

} // namespace
