#include <koa_dev/koa_dev.h>

#include "support/resource_file.h"

#include <gtest/gtest.h>

namespace {

// Alone in its executable: it needs a process whose configuration has not been read yet.
TEST(FirstLoad, HappensOnceOnFirstReadAndKeepsItsErrorsToItself) {
    const std::map<uint16_t, std::string> strings = {
        {1, "R:\\"}, {2, "F"}, {3, "P"}, {4, "L"}, {5, "V"}};
    WriteResourceFile(strings);
    ErrorCluster failed(true, 99, "earlier");
    EXPECT_TRUE(ReleasedDllPath(&failed).IsEmpty()); // reads nothing
    RemoveResourceFile();

    ErrorCluster err;
    EXPECT_STREQ(LocalDllPath(&err).CStr(), "<Unknown>");
    EXPECT_STREQ(err.Source().CStr(), "LocalDllPath Resource not Found"); // not the load's 13

    WriteResourceFile(strings);
    EXPECT_STREQ(ReleasedDllPath(nullptr).CStr(), "<Unknown>"); // a failed first load stays
    ErrorCluster reload;
    ReloadCommonDllResourceFile(&reload);
    EXPECT_EQ(reload.Code(), 0);
    EXPECT_STREQ(ReleasedDllPath(nullptr).CStr(), "R:\\");
    EXPECT_STREQ(LocalDllPath(nullptr).CStr(), LabVIEW_FilePath().CStr());
    RemoveResourceFile();
}

} // namespace
