#include "release_layout.h"

#include <iterator>

#if !defined(_WIN32)
#include <csignal>
#include <sys/wait.h>
#endif

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
    // A local copy that is a symbolic link is replaced, and the file it pointed to keeps its
    // contents and mode; the user's own x.dll.update is left alone.
    Place("v1003", Dir() + "elsewhere.dll");
    std::filesystem::permissions(Dir() + "elsewhere.dll", std::filesystem::perms::owner_read);
    std::filesystem::remove(local + "x.dll");
    std::filesystem::create_symlink(Dir() + "elsewhere.dll", local + "x.dll");
    WriteFile(local + "x.dll.update", "mine");
    ErrorCluster linked;
    UpdateLocalDLL(&linked, "x.dll");
    EXPECT_FALSE(linked.Status()) << linked.Source().CStr();
    EXPECT_FALSE(std::filesystem::is_symlink(local + "x.dll"));
    ExpectCopied("x.dll");
    EXPECT_EQ(std::filesystem::status(Dir() + "elsewhere.dll").permissions(),
              std::filesystem::perms::owner_read);
    EXPECT_TRUE(ReadAll(Dir() + "elsewhere.dll") == ReadAll(Fixture("v1003")));
    EXPECT_EQ(ReadAll(local + "x.dll.update"), "mine");

    // Where the copy would go stands a directory: error 14, the directory stays, and the failed
    // copy leaves no file behind.
    std::filesystem::remove(local + "x.dll");
    std::filesystem::remove(local + "x.dll.update");
    std::filesystem::create_directories(local + "x.dll/keep");
    ErrorCluster blocked;
    UpdateLocalDLL(&blocked, "x.dll");
    EXPECT_EQ(blocked.Code(), 14);
    EXPECT_TRUE(IsDirectory(local + "x.dll/keep"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(local), {}), 1);
#endif

    std::filesystem::remove_all(local);
    ErrorCluster noDirectory;
    UpdateLocalDLL(&noDirectory, "x.dll");
    EXPECT_EQ(noDirectory.Code(), 14);
    EXPECT_STREQ(noDirectory.Source().CStr(), "Unable to Update Local DLL 'x.dll'\n");
}

#if !defined(_WIN32)
// True while the process has a file open whose name holds part.
bool HasFileOpen(pid_t process, const std::string& part) {
    std::error_code error;
    const std::string fds = "/proc/" + std::to_string(process) + "/fd";
    for (const auto& fd : std::filesystem::directory_iterator(fds, error))
        if (std::filesystem::read_symlink(fd.path(), error).string().find(part) !=
            std::string::npos)
            return true;
    return false;
}

// Processes updating one 5 MB library at the same time, one of them killed while it writes its
// copy: every update that succeeds leaves the whole released file, and so does the last.
TEST_F(LocalUpdate, ConcurrentUpdatesLeaveAWholeFile) {
    std::string released5MB = ReadAll(Fixture("v1004"));
    released5MB.resize(5 << 20);
    WriteFile(released + "x.dll", released5MB);
    Place("v1003", local + "x.dll");
    const auto update = [&](int times) {
        for (int i = 0; i < times; ++i) {
            ErrorCluster err;
            UpdateLocalDLL(&err, "x.dll");
            if (err.Status() || ReadAll(local + "x.dll") != released5MB)
                return 1;
        }
        return 0;
    };
    std::vector<pid_t> updaters;
    for (int i = 0; i < 4; ++i) {
        const pid_t child = fork();
        if (child == 0)
            _exit(update(i == 0 ? 1000 : 2));
        updaters.push_back(child);
    }
    int killedStatus = 0;
    while (!HasFileOpen(updaters[0], "x.dll.") &&
           waitpid(updaters[0], &killedStatus, WNOHANG) == 0) {
    }
    kill(updaters[0], SIGKILL);
    for (const pid_t child : updaters) {
        int status = 0;
        waitpid(child, &status, 0);
        if (child != updaters[0]) {
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
        }
    }
    EXPECT_TRUE(ReadAll(local + "x.dll") == released5MB);
}
#endif

} // namespace
