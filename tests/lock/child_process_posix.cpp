#include "lock/lock_test_support.h"

#include <csignal>

#include <sys/wait.h>
#include <unistd.h>

// The copy opens the lock objects afresh, as another loaded instance of the library does.
HelperProcess::HelperProcess(const std::vector<std::string>& args) {
    pid = fork();
    if (pid == 0)
        _exit(RunLockHelper(args));
}

HelperProcess::~HelperProcess() {
    Kill();
    Wait();
}

bool HelperProcess::Started() const {
    return pid > 0;
}

int HelperProcess::Wait() {
    int status = 0;
    if (pid <= 0 || waitpid(static_cast<pid_t>(pid), &status, 0) < 0)
        return -1;
    pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

void HelperProcess::Kill() {
    if (pid > 0)
        kill(static_cast<pid_t>(pid), SIGKILL);
}
