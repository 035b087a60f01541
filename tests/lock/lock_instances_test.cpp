// The owner stamp of real loaded instances: the library's file, loaded again in another process,
// and a second file of the library loaded beside the first in one process. The program links
// neither file, so that neither file's exports stand in for the other's.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
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

// Started again as the other process, this program locks once through the library's file and
// ends before any test runs. A new program, unlike a fork, loads the library at another address.
[[maybe_unused]] const bool kOtherProcess = std::getenv("KOA_LOCK_OTHER_PROCESS") != nullptr &&
                                            (_exit(LockThroughProbe(KOA_LOCK_PROBE) + 1), true);

TEST(LockInstances, TheSameFileKeepsTheCachesAnotherFileInvalidates) {
    const auto inOtherProcess = [] {
        const pid_t other = fork();
        if (other == 0) {
            // Started as ctest starts it: through the emulator, if the build has one.
            char self[4096] = {};
            setenv("KOA_LOCK_OTHER_PROCESS", "1", 1);
            if (readlink("/proc/self/exe", self, sizeof self - 1) > 0)
                execl("/bin/sh", "sh", "-c", KOA_LOCK_RUNNER " \"$0\"", self,
                      static_cast<char*>(nullptr));
            _exit(3);
        }
        int status = 0;
        const bool ended = waitpid(other, &status, 0) == other && WIFEXITED(status);
        return ended ? WEXITSTATUS(status) - 1 : -2;
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
