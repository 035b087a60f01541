#include <koa_dev/koa_dev.h>

#include "support/resource_file.h"

#include <gtest/gtest.h>

namespace {

// The configuration is read once, by the first read of a value, and only reloads read it again.
// One test in a process of its own: it needs the configuration not yet read.
TEST(FirstLoad, HappensOnceOnFirstReadAndKeepsItsErrorsToItself) {
    WriteResourceFile({{1, "R:\\"}, {2, "F:\\"}, {3, "P:\\"}, {4, "L"}, {5, "V"}});

    ErrorCluster failed(true, 99, "earlier");
    EXPECT_TRUE(ReleasedDllPath(&failed).IsEmpty()); // reads nothing
    RemoveResourceFile();

    ErrorCluster err;
    EXPECT_STREQ(LocalDllPath(&err).CStr(), "<Unknown>");
    EXPECT_EQ(err.Code(), 15); // the load's own error 13 is not reported
    EXPECT_STREQ(err.Source().CStr(), "LocalDllPath Resource not Found");

    WriteResourceFile({{1, "R:\\"}, {2, "F:\\"}, {3, "P:\\"}, {4, "L"}, {5, "V"}});
    EXPECT_STREQ(ReleasedDllPath(nullptr).CStr(), "<Unknown>"); // a failed first load stays

    ErrorCluster reload;
    ReloadCommonDllResourceFile(&reload);
    EXPECT_FALSE(reload.Status());
    EXPECT_STREQ(ReleasedDllPath(nullptr).CStr(), "R:\\");
    EXPECT_STREQ(LocalDllPath(nullptr).CStr(), LabVIEW_FilePath().CStr());
    RemoveResourceFile();
}

} // namespace
