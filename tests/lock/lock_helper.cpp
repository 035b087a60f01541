#include "lock/lock_test_support.h"
#include "lock/resource_lock_access.h"

#include <chrono>
#include <string>
#include <thread>
#include <vector>

int RunLockHelper(const std::vector<std::string>& args) {
    if (args.size() != 3)
        return 1;
    koa::ResourceLockAccess::Open(args[0].c_str(), args[1].c_str());
    koa::ResourceLockAccess::SetStamp(static_cast<uint32_t>(std::stoul(args[2], nullptr, 0)));
    ErrorCluster err;
    ResourceLock lock(&err, true);
    while (!err.Status())
        std::this_thread::sleep_for(std::chrono::seconds(1));
    return 2;
}

#if defined(_WIN32)
int main(int argc, char** argv) {
    return RunLockHelper({argv + 1, argv + argc});
}
#else
#include <csignal>

#include <sys/wait.h>
#include <unistd.h>

// The copy opens the lock objects afresh, as another loaded instance of the library does.
std::shared_ptr<void> StartLockHelper(const std::vector<std::string>& args) {
    const pid_t pid = fork();
    if (pid == 0)
        _exit(RunLockHelper(args));
    return {nullptr, [pid](void*) {
                if (pid > 0 && kill(pid, SIGKILL) == 0)
                    waitpid(pid, nullptr, 0);
            }};
}
#endif
