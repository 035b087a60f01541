#include <koa_dev/koa_dev.h>

#include <gtest/gtest.h>

#include <cstring>

namespace {

// The entry point records the library's own module: its file name is the library's, not the
// executable's.
TEST(SharedLibrary, NamesItsOwnModuleAndTheHostDirectory) {
    const TString path = CommonDLL_FileName(true);
    EXPECT_STREQ(CommonDLL_FileName(false).CStr(), KOA_DEV_LIBRARY_NAME);
    EXPECT_TRUE(DoesFileExists(path)) << path.CStr();
    EXPECT_STREQ((RemoveFileNameFromPath(path) + KOA_DEV_LIBRARY_NAME).CStr(), path.CStr());

    const TString host = LabVIEW_FilePath();
    ASSERT_FALSE(host.IsEmpty());
    EXPECT_NE(std::strchr("\\/", host.CStr()[host.Length() - 1]), nullptr);
    EXPECT_TRUE(DoesFileExists(host + "koa_dev_shared_tests*"));

    ErrorCluster err;
    EXPECT_EQ(GetControllerFunctionAddress(&err, "VerifyControllerConnected"), nullptr);
    EXPECT_EQ(err.Code(), 15);
    EXPECT_TRUE(ControllerDLL_FileName(true).IsEmpty());
}

} // namespace
