#include "release_layout.h"

namespace {

class LocalUpdate : public ReleaseLayout {
  protected:
    // The loaded controller ctl and device dev, as the loaders leave them.
    void LoadBoth(const std::string& controllerFile) {
        Place("v1003", local + controllerFile);
        Place("dev_v1003", local + "dev.dll");
        ASSERT_NO_FATAL_FAILURE(Load(controllerLibrary, local + controllerFile));
        ASSERT_NO_FATAL_FAILURE(Load(deviceLibrary, local + "dev.dll"));
        TakeLog();
    }
    void ExpectCopied(const std::string& name) {
        EXPECT_TRUE(ReadAll(local + name) == ReadAll(released + name)) << name;
    }
};

TEST_F(LocalUpdate, UnloadsTheLibraryOfThatNameBeforeCopying) {
    Place("v1004", released + "ctl.dll");
    Place("v1004", released + "dev.dll");
    ASSERT_NO_FATAL_FAILURE(LoadBoth("CTL.DLL"));
    ErrorCluster err;
    UpdateLocalDLL(&err, " ctl.dll | COM1");
    EXPECT_FALSE(err.Status()) << err.Source().CStr();
    EXPECT_EQ(TakeLog(), "dev_v1003: LibraryExit()\ndev_v1003: unloaded()\n"
                         "v1003: ControllerExit()\nv1003: unloaded()\n");
    EXPECT_EQ(controllerLibrary, nullptr);
    EXPECT_EQ(deviceLibrary, nullptr);
    ExpectCopied("ctl.dll");

    ASSERT_NO_FATAL_FAILURE(LoadBoth("ctl.dll"));
    UpdateLocalDLL(&err, "dev.dll");
    EXPECT_EQ(TakeLog(), "dev_v1003: LibraryExit()\ndev_v1003: unloaded()\n");
    EXPECT_NE(controllerLibrary, nullptr);
    EXPECT_EQ(deviceLibrary, nullptr);
    ExpectCopied("dev.dll");
    EXPECT_FALSE(err.Status()) << err.Source().CStr();
}

TEST_F(LocalUpdate, ReplacesAReadOnlyCopyAndReportsWhatCannotBeCopied) {
    Place("v1003", local + "x.dll");
    Place("v1004", released + "x.dll");
    Place("plain", released + "plain.dll");
    std::filesystem::permissions(local + "x.dll", std::filesystem::perms::owner_read);
    ErrorCluster err;
    UpdateLocalDLL(&err, "x.dll");
    EXPECT_FALSE(err.Status()) << err.Source().CStr();
    ExpectCopied("x.dll");

    UpdateLocalDLL(&err, "plain.dll");
    EXPECT_EQ(err.Code(), 13);
    EXPECT_STREQ(err.Source().CStr(), "DLL 'plain.dll' was Not Found or is Invalid\n");
    EXPECT_FALSE(std::filesystem::exists(local + "plain.dll"));

#if !defined(_WIN32)
    // Where the copy would be written stands a directory: the old file stays as it was.
    Place("v1003", local + "x.dll");
    std::filesystem::create_directories(local + "x.dll.update/keep");
    ErrorCluster blocked;
    UpdateLocalDLL(&blocked, "x.dll");
    EXPECT_EQ(blocked.Code(), 14);
    EXPECT_TRUE(ReadAll(local + "x.dll") == ReadAll(Fixture("v1003")));
#endif

    std::filesystem::remove_all(local);
    ErrorCluster noDirectory;
    UpdateLocalDLL(&noDirectory, "x.dll");
    EXPECT_EQ(noDirectory.Code(), 14);
    EXPECT_STREQ(noDirectory.Source().CStr(), "Unable to Update Local DLL 'x.dll'\n");
}

} // namespace
