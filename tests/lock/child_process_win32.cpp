#include "lock/lock_test_support.h"

#include <windows.h>

HelperProcess::HelperProcess(const std::vector<std::string>& args) {
    char self[MAX_PATH] = {};
    const std::string me(self, GetModuleFileNameA(nullptr, self, MAX_PATH));
    const std::string path = me.substr(0, me.find_last_of("\\/") + 1) + "koa_dev_lock_helper.exe";
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
    if (process != nullptr && TerminateProcess(process, 137))
        WaitForSingleObject(process, INFINITE);
    if (process != nullptr)
        CloseHandle(process);
}
