#include "lock/lock_test_support.h"

#include <windows.h>

std::shared_ptr<void> StartLockHelper(const std::string& mutexName, const std::string& memName) {
    // Without an application name the program is looked for first beside this executable.
    std::string line = "koa_dev_lock_helper.exe \"" + mutexName + "\" \"" + memName + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info))
        return nullptr;
    CloseHandle(info.hThread);
    return {info.hProcess, [](HANDLE process) {
                if (TerminateProcess(process, 137))
                    WaitForSingleObject(process, INFINITE);
                CloseHandle(process);
            }};
}
