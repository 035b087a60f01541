// The owner stamp of real loaded instances: the library's file, loaded again in another process,
// and a second file of the library loaded beside the first in one process. The program links
// neither file, so that neither file's exports stand in for the other's.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <iterator>
#include <vector>

namespace {

// The probe's answer (lock_probe.cpp): 1 when its cache, valid before, stayed valid through the
// lock, 0 when the lock declared it stale, -1 when the lock failed; -1 too when the probe is
// missing.
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
        const bool ended = write(go[1], "x", 1) == 1 && waitpid(other, &status, 0) == other;
        return ended && WIFEXITED(status) ? WEXITSTATUS(status) - 1 : -2;
    };
    // The file to lock through (none: the library's file in the other process), and 1 when the
    // caches stay valid.
    const std::pair<const char*, int> steps[] = {
        {KOA_LOCK_PROBE, 0},      // the first lock of an instance
        {KOA_LOCK_PROBE, 1},      // no one in between
        {nullptr, 0},             // the same file, another process
        {KOA_LOCK_PROBE, 1},      // the same file held it in another process
        {KOA_LOCK_PROBE_COPY, 0}, // the first lock of the second file
        {KOA_LOCK_PROBE, 0},      // the second file held it
        {KOA_LOCK_PROBE_COPY, 0}, // the first file held it
    };
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        const char* path = steps[i].first;
        EXPECT_EQ(path != nullptr ? LockThroughProbe(path) : inOtherProcess(), steps[i].second)
            << i;
    }
}

} // namespace
