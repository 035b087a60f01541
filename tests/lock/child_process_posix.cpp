#include "lock/child_process.h"

#include <algorithm>
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

// The emulator's command words, '|'-separated, then the helper and its arguments.
std::vector<std::string> CommandLine(const std::vector<std::string>& args) {
    std::vector<std::string> words;
#if defined(KOA_DEV_TEST_EMULATOR)
    std::string emulator = KOA_DEV_TEST_EMULATOR;
    for (size_t start = 0, end; start <= emulator.size(); start = end + 1) {
        end = std::min(emulator.find('|', start), emulator.size());
        words.push_back(emulator.substr(start, end - start));
    }
#endif
    words.push_back(HelperPath());
    words.insert(words.end(), args.begin(), args.end());
    return words;
}

} // namespace

HelperProcess::HelperProcess(const std::vector<std::string>& args) {
    std::vector<std::string> copies = CommandLine(args);
    std::vector<char*> argv;
    for (std::string& arg : copies)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t child;
    if (posix_spawn(&child, argv[0], nullptr, nullptr, argv.data(), environ) == 0)
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
