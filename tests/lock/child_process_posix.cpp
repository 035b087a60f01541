#include "lock/child_process.h"

#include <climits>
#include <csignal>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string HelperPath() {
    char self[PATH_MAX] = {};
    ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    std::string path(self, n > 0 ? static_cast<size_t>(n) : 0);
    return path.substr(0, path.rfind('/') + 1) + "koa_dev_lock_helper";
}

} // namespace

HelperProcess::HelperProcess(const std::vector<std::string>& args) {
    std::string path = HelperPath();
    std::vector<char*> argv{path.data()};
    std::vector<std::string> copies = args;
    for (std::string& arg : copies)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t child;
    if (posix_spawn(&child, path.c_str(), nullptr, nullptr, argv.data(), environ) == 0)
        pid = child;
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
