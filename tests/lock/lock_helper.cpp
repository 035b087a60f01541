// The work of a helper process of the lock tests. Arguments: the lock's mutex and shared-memory
// name of a HelperBlock, this instance's owner stamp, and either a number of increments of the
// block's counter to make under the lock, or "hold": take the lock, say so, wait to be killed.
// It begins once the block's start flag is set. Exit code 0 on success, 2 when the lock failed,
// 3 when it found another holder inside.
#include "lock/lock_test_support.h"
#include "lock/resource_lock_access.h"
#include "platform/named_lock.h"

#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace {

HelperBlock* OpenBlock(const char* name) {
    void* memory = koa::platform::CreateSharedMemory(name, sizeof(HelperBlock));
    return memory ? static_cast<HelperBlock*>(koa::platform::MapSharedMemory(memory)) : nullptr;
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

int Count(HelperBlock* block, unsigned long iterations) {
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

} // namespace

int RunLockHelper(const std::vector<std::string>& args) {
    HelperBlock* block = args.size() == 5 ? OpenBlock(args[2].c_str()) : nullptr;
    if (block == nullptr)
        return 1;
    while (block->start == 0)
        std::this_thread::yield();
    koa::ResourceLockAccess::Open(args[0].c_str(), args[1].c_str());
    koa::ResourceLockAccess::SetStamp(static_cast<uint32_t>(std::stoul(args[3], nullptr, 0)));
    if (args[4] == "hold")
        return Hold(block);
    return Count(block, std::stoul(args[4]));
}

#if defined(_WIN32)
int main(int argc, char** argv) {
    return RunLockHelper({argv + 1, argv + argc});
}
#endif
