#include "lock/lock_test_support.h"
#include "lock/resource_lock_access.h"

#include <chrono>
#include <thread>

int RunLockHelper(const std::string& mutexName, const std::string& memName) {
    koa::ResourceLockAccess::Open(mutexName.c_str(), memName.c_str());
    koa::ResourceLockAccess::SetStamp(0x5eed);
    ErrorCluster err;
    ResourceLock lock(&err, true);
    while (!err.Status())
        std::this_thread::sleep_for(std::chrono::seconds(1));
    return 2;
}

#if defined(_WIN32)
int main(int argc, char** argv) {
    return argc == 3 ? RunLockHelper(argv[1], argv[2]) : 1;
}
#else
#include <csignal>

#include <sys/wait.h>
#include <unistd.h>

// The copy opens the lock objects afresh, as another loaded instance of the library does.
std::shared_ptr<void> StartLockHelper(const std::string& mutexName, const std::string& memName) {
    const pid_t pid = fork();
    if (pid == 0)
        _exit(RunLockHelper(mutexName, memName));
    return {nullptr, [pid](void*) {
                if (pid > 0 && kill(pid, SIGKILL) == 0)
                    waitpid(pid, nullptr, 0);
            }};
}
#endif
