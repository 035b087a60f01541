// The owner stamp of real loaded instances: the library's file, loaded again in a fresh process,
// and a second file of the library loaded beside the first in one process. The program links
// neither file, so that neither file's exports stand in for the other's.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Probe = int (*)();

Probe LoadProbe(const char* path) {
    void* module = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    return module != nullptr ? reinterpret_cast<Probe>(dlsym(module, "LockThroughProbe")) : nullptr;
}

// The command that starts this program again: its file, run by the test emulator if there is
// one, since the emulator does not follow an exec.
std::vector<std::string> ThisProgram() {
    std::vector<std::string> command;
#if defined(KOA_TEST_EMULATOR)
    std::istringstream words(KOA_TEST_EMULATOR);
    for (std::string word; words >> word;)
        command.push_back(word);
#endif
    char path[4096];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    command.emplace_back(path, n > 0 ? static_cast<std::size_t>(n) : 0);
    return command;
}

// A new process started from this program's file locks once through the probe at `path`; the
// probe's answer, or -1 when the process failed.
int LockInAnotherProcess(const char* path) {
    std::vector<std::string> command = ThisProgram();
    command.insert(command.end(), {"--lock-once", path});
    std::vector<char*> argv;
    for (std::string& word : command)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        execv(argv[0], argv.data());
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
