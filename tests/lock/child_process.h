#pragma once

#include <string>
#include <vector>

// A run of the lock test helper, which is built next to the test executable.
class HelperProcess {
  public:
    explicit HelperProcess(const std::vector<std::string>& args);
    ~HelperProcess();
    HelperProcess(const HelperProcess&) = delete;
    HelperProcess& operator=(const HelperProcess&) = delete;

    bool Started() const;
    // Exit code once it has ended; -1 when it could not be waited for.
    int Wait();
    // Ends it at once, without any chance to clean up.
    void Kill();

  private:
    void* process = nullptr;
    long pid = -1;
};
