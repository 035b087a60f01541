// The owner stamp of real loaded instances: the library's file, loaded again in another process,
// and a second file of the library loaded beside the first in one process. The program links
// neither file, so that neither file's exports stand in for the other's.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <iterator>
#include <vector>

namespace {

// The probe's answer (lock_probe.cpp): 1 when the caches stayed valid, 0 when they were declared
// stale, -1 when the lock failed; -1 too when the probe is missing.
int LockThroughProbe(const char* path) {
    void* module = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    void* probe = module != nullptr ? dlsym(module, "LockThroughProbe") : nullptr;
    return probe != nullptr ? reinterpret_cast<int (*)()>(probe)() : -1;
}

TEST(LockInstances, TheSameFileKeepsTheCachesAnotherFileInvalidates) {
    // A process forked before this one loads either file: when told, it loads the library's file
    // afresh and locks once through it.
    int go[2];
    ASSERT_EQ(pipe(go), 0);
    const pid_t other = fork();
    if (other == 0) {
        char byte;
        close(go[1]);
        _exit(read(go[0], &byte, 1) == 1 ? LockThroughProbe(KOA_LOCK_PROBE) + 1 : 3);
    }
    const auto inOtherProcess = [&] {
        int status = 0;
        return write(go[1], "x", 1) == 1 && waitpid(other, &status, 0) == other && WIFEXITED(status)
                   ? WEXITSTATUS(status) - 1
                   : -2;
    };
    const auto first = [] { return LockThroughProbe(KOA_LOCK_PROBE); };
    const auto copy = [] { return LockThroughProbe(KOA_LOCK_PROBE_COPY); };
    const std::pair<std::function<int()>, int> steps[] = {
        // how the lock is taken, and 1 when the caches stay valid
        {first, 0},          // the first lock of an instance
        {first, 1},          // no one in between
        {inOtherProcess, 0}, // the same file, another process
        {first, 1},          // the same file held it in another process
        {copy, 0},           // the first lock of the second file
        {first, 0},          // the second file held it
        {copy, 0},           // the first file held it
    };
    for (std::size_t i = 0; i < std::size(steps); ++i)
        EXPECT_EQ(steps[i].first(), steps[i].second) << "step " << i;
}

} // namespace
