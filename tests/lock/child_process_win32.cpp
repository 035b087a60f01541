#include "lock/lock_test_support.h"

#include <windows.h>

namespace {

std::string HelperPath() {
    char self[MAX_PATH] = {};
    DWORD n = GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string path(self, n);
    return path.substr(0, path.find_last_of("\\/") + 1) + "koa_dev_lock_helper.exe";
}

} // namespace

HelperProcess::HelperProcess(const std::vector<std::string>& args) {
    std::string path = HelperPath();
    std::string line = "\"" + path + "\"";
    for (const std::string& arg : args)
        line += " \"" + arg + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (CreateProcessA(path.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &startup, &info)) {
        CloseHandle(info.hThread);
        process = info.hProcess;
    }
}

HelperProcess::~HelperProcess() {
    Kill();
    Wait();
}

bool HelperProcess::Started() const {
    return process != nullptr;
}

int HelperProcess::Wait() {
    DWORD code = 0;
    if (process == nullptr || WaitForSingleObject(process, INFINITE) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(process, &code))
        return -1;
    CloseHandle(process);
    process = nullptr;
    return static_cast<int>(code);
}

void HelperProcess::Kill() {
    if (process != nullptr)
        TerminateProcess(process, 137);
}
