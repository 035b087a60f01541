// Helper process of the lock tests. Arguments: a command, the lock's mutex and shared-memory
// names, then the command's own:
//   count <block name> <iterations>  increments the block's counter under the lock
//   hold <block name> <stamp>        takes the lock, says so in the block, and waits to be killed
//   once <stamp> [wait limit]        takes the lock once and releases it
// Exit code 0 on success; 2 when the lock timed out.
#include "lock/lock_test_support.h"
#include "lock/resource_lock_access.h"
#include "platform/named_lock.h"

#include <koa_dev/resource_lock.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

HelperBlock* OpenBlock(const char* name) {
    void* memory = koa::platform::CreateSharedMemory(name, sizeof(HelperBlock));
    return memory ? static_cast<HelperBlock*>(koa::platform::MapSharedMemory(memory)) : nullptr;
}

// All helpers open the lock at the same moment: only one of them may create it.
int Count(HelperBlock* block, const char* mutexName, const char* memName,
          unsigned long iterations) {
    while (block->start == 0)
        std::this_thread::yield();
    koa::ResourceLockAccess::Open(mutexName, memName);
    for (unsigned long i = 0; i < iterations; ++i) {
        ErrorCluster err;
        ResourceLock lock(&err, true);
        if (err.Status())
            return 2;
        if (block->inside != 0)
            return 3;
        block->inside = 1;
        uint32_t seen = block->counter;
        std::this_thread::yield();
        block->counter = seen + 1;
        block->inside = 0;
    }
    return 0;
}

int Hold(HelperBlock* block) {
    ErrorCluster err;
    ResourceLock lock(&err, true);
    if (err.Status())
        return 2;
    block->holding = 1;
    for (;;)
        std::this_thread::sleep_for(std::chrono::seconds(1));
}

int Once() {
    ErrorCluster err;
    ResourceLock lock(&err, true);
    if (!err.Status())
        return 0;
    return std::string(err.Source().CStr()) == "KOA_DEV.dll Resource Lock Timeout!" ? 2 : 3;
}

uint32_t Number(const char* text) {
    return static_cast<uint32_t>(std::strtoul(text, nullptr, 0));
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 5)
        return 1;
    const std::string command = argv[1];
    if (command == "once") {
        koa::ResourceLockAccess::Open(argv[2], argv[3]);
        koa::ResourceLockAccess::SetStamp(Number(argv[4]));
        if (argc > 5)
            koa::ResourceLockAccess::SetWaitLimit(Number(argv[5]));
        return Once();
    }
    HelperBlock* block = OpenBlock(argv[4]);
    if (block == nullptr || argc < 6)
        return 1;
    if (command == "count")
        return Count(block, argv[2], argv[3], Number(argv[5]));
    if (command == "hold") {
        koa::ResourceLockAccess::Open(argv[2], argv[3]);
        koa::ResourceLockAccess::SetStamp(Number(argv[5]));
        return Hold(block);
    }
    return 1;
}
