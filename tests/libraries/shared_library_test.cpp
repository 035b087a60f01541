#include <koa_dev/koa_dev.h>

#include <gtest/gtest.h>

#include <cstring>

namespace {

// The library's entry point records its own module: its file name is the library's, not the
// executable's.
TEST(SharedLibrary, NamesItsOwnModule) {
    const TString name = CommonDLL_FileName(false);
    const TString path = CommonDLL_FileName(true);
    EXPECT_STREQ(name.CStr(), KOA_DEV_LIBRARY_NAME);
    EXPECT_TRUE(DoesFileExists(path)) << path.CStr();
    EXPECT_STREQ((RemoveFileNameFromPath(path) + name).CStr(), path.CStr());
}

TEST(SharedLibrary, HostPathIsTheExecutablesDirectory) {
    const TString host = LabVIEW_FilePath();
    ASSERT_FALSE(host.IsEmpty());
    EXPECT_TRUE(std::strchr("\\/", host.CStr()[host.Length() - 1]) != nullptr);
    EXPECT_TRUE(DoesFileExists(host + "koa_dev_shared_tests*"));
}

TEST(SharedLibrary, NothingIsLoadedAtStart) {
    ErrorCluster err;
    EXPECT_EQ(GetControllerFunctionAddress(&err, "VerifyControllerConnected"), nullptr);
    EXPECT_EQ(err.Code(), 15);
    EXPECT_EQ(DebugTools(nullptr), nullptr);
    EXPECT_TRUE(ControllerDLL_FileName(true).IsEmpty());
    EXPECT_TRUE(DeviceDLL_FileName(true).IsEmpty());
}

} // namespace
