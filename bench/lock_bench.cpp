// The cross-process lock taken and released by an instance that held it last, against the bare
// mutex calls on a mutex of the same kind.
#include <koa_dev/error_cluster.h>
#include <koa_dev/resource_lock.h>

#include "lock/resource_lock_access.h"
#include "platform/named_lock.h"

#include <benchmark/benchmark.h>

#include <pthread.h>
#include <sys/mman.h>
#include <unistd.h>

#include <string>

namespace {

void LockOwnStamp(benchmark::State& state) {
    const std::string suffix = " bench " + std::to_string(getpid());
    const std::string mutexName = "KOA_DEV Lock" + suffix, memName = "KOA_DEV Mem" + suffix;
    koa::ResourceLockAccess::Open(mutexName.c_str(), memName.c_str());
    ErrorCluster err;
    { ResourceLock first(&err, true); } // the stamp in the shared block is now this instance's
    for (auto _ : state) {
        ResourceLock lock(&err, true);
        benchmark::DoNotOptimize(&lock);
    }
    if (err.Status())
        state.SkipWithError("the lock failed");
    koa::platform::RemoveNamedObject(mutexName.c_str());
    koa::platform::RemoveNamedObject(memName.c_str());
}

// pthread_mutex_lock and unlock on a process-shared, robust, recursive mutex in shared memory.
void LockBaseline(benchmark::State& state) {
    void* memory = mmap(nullptr, sizeof(pthread_mutex_t), PROT_READ | PROT_WRITE,
                        MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    auto* mutex = static_cast<pthread_mutex_t*>(memory);
    pthread_mutexattr_t attr;
    pthread_mutexattr_init(&attr);
    pthread_mutexattr_setpshared(&attr, PTHREAD_PROCESS_SHARED);
    pthread_mutexattr_setrobust(&attr, PTHREAD_MUTEX_ROBUST);
    pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE);
    pthread_mutex_init(mutex, &attr);
    pthread_mutexattr_destroy(&attr);
    for (auto _ : state) {
        pthread_mutex_lock(mutex);
        benchmark::ClobberMemory();
        pthread_mutex_unlock(mutex);
    }
    pthread_mutex_destroy(mutex);
    munmap(memory, sizeof(pthread_mutex_t));
}

} // namespace

BENCHMARK(LockBaseline)->Name("ResourceLock/baseline");
BENCHMARK(LockOwnStamp)->Name("ResourceLock/lock_unlock_own_stamp");
