// The owner stamp of real loaded instances: the library's file, loaded again in a fresh process,
// and a second file of the library loaded beside the first in one process. The program links
// neither file, so that neither file's exports stand in for the other's.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

using Probe = int (*)();

Probe LoadProbe(const char* path) {
    void* module = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    return module != nullptr ? reinterpret_cast<Probe>(dlsym(module, "LockThroughProbe")) : nullptr;
}

// A new process started from this program's file locks once through the probe at `path`; the
// probe's answer, or -1 when the process failed.
int LockInAnotherProcess(const char* path) {
    const pid_t pid = fork();
    if (pid == 0) {
        execl("/proc/self/exe", "lock_instances", "--lock-once", path, static_cast<char*>(nullptr));
        _exit(126);
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    const int code = WEXITSTATUS(status);
    return code <= 1 ? code : -1;
}

TEST(LockInstances, TheSameFileKeepsTheCachesAnotherFileInvalidates) {
    const Probe first = LoadProbe(KOA_LOCK_PROBE);
    const Probe copy = LoadProbe(KOA_LOCK_PROBE_COPY);
    ASSERT_TRUE(first != nullptr && copy != nullptr) << dlerror();
    struct Step {
        std::function<int()> lock;
        int kept; // the probe's answer: 1 when the caches stayed valid
        const char* what;
    };
    const std::vector<Step> steps = {
        {first, 0, "the first lock of an instance"},
        {first, 1, "no one in between"},
        {[] { return LockInAnotherProcess(KOA_LOCK_PROBE); }, 0, "the same file, another process"},
        {first, 1, "the same file held it in another process"},
        {copy, 0, "the first lock of the second file"},
        {first, 0, "the second file held it"},
        {copy, 0, "the first file held it"},
    };
    for (const Step& step : steps)
        EXPECT_EQ(step.lock(), step.kept) << step.what;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--lock-once") == 0) {
        const Probe probe = LoadProbe(argv[2]);
        return probe != nullptr ? probe() : 2;
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
