#include <koa_dev/resource_lock.h>

#include "lock/library_lock.h"
#include "lock/lock_owner.h"
#include "lock/resource_lock_access.h"
#include "platform/named_lock.h"

#include <cstring>

namespace {

constexpr const char* kMutexName = "KOA_DEV Lock";
constexpr const char* kSharedMemName = "KOA_DEV Mem";
constexpr std::size_t kSharedMemSize = 16;
constexpr uint32_t kWaitLimit = 60000;

constexpr int32_t kLockError = 72;
constexpr int32_t kMissingError = 15;

uint32_t waitLimit = kWaitLimit;
bool stampChosen = false;
uint32_t chosenStamp = 0;

uint32_t OwnStamp() {
    return stampChosen ? chosenStamp : koa::lock::InstanceStamp();
}

uint32_t ReadStamp(const void* block) {
    uint32_t stamp;
    std::memcpy(&stamp, block, sizeof stamp);
    return stamp;
}

void* MapOrNull(void* sharedMem) {
    return sharedMem != nullptr ? koa::platform::MapSharedMemory(sharedMem) : nullptr;
}

} // namespace

namespace koa::lock {

void* OpenLibraryMutex() {
    return platform::CreateNamedMutex(kMutexName);
}

void* OpenLibrarySharedMemory() {
    return platform::CreateSharedMemory(kSharedMemName, kSharedMemSize);
}

void* MapLibraryView(void* sharedMem) {
    return MapOrNull(sharedMem);
}

} // namespace koa::lock

ResourceLock::ResourceLock(ErrorCluster* err, bool lock) : Locked(false) {
    if (err->Status())
        return;
    if (lock)
        Lock(err);
    else if (LockHandle == nullptr)
        err->SetError(kLockError, "KOA_DEV.dll Resource Lock not Found!");
}

ResourceLock::~ResourceLock() {
    UnLock();
}

void ResourceLock::Lock(ErrorCluster* err) {
    if (err->Status() || Locked)
        return;
    if (LockHandle == nullptr) {
        err->SetError(kLockError, "KOA_DEV.dll Resource Lock not Found!");
        return;
    }
    if (SharedMemAddress == nullptr) {
        err->SetError(kMissingError, "KOA_DEV.dll Resource Lock - Shared Memory NOT Found!");
        return;
    }
    switch (koa::platform::WaitNamedMutex(LockHandle, waitLimit)) {
    case koa::platform::MutexWait::Acquired: {
        Locked = true;
        uint32_t own = OwnStamp();
        if (SharedMemStatus && ReadStamp(SharedMemAddress) == own)
            return;
        std::memcpy(SharedMemAddress, &own, sizeof own);
        koa::lock::InvalidateStateCaches();
        SharedMemStatus = true;
        return;
    }
    case koa::platform::MutexWait::Abandoned:
        Locked = true;
        err->SetError(kLockError, "KOA_DEV.dll Resource Lock in a Undefined State!");
        return;
    case koa::platform::MutexWait::Timeout:
        err->SetError(kLockError, "KOA_DEV.dll Resource Lock Timeout!");
        return;
    case koa::platform::MutexWait::Failed:
        break;
    }
    err->SetError(kLockError, "KOA_DEV.dll Resource Lock request returned unexpected response!");
}

void ResourceLock::UnLock() {
    if (Locked && koa::platform::ReleaseNamedMutex(LockHandle))
        Locked = false;
}

namespace koa {

void ResourceLockAccess::Open(const char* mutexName, const char* sharedMemName) {
    ResourceLock::LockHandle = platform::CreateNamedMutex(mutexName);
    ResourceLock::SharedMemHandle = platform::CreateSharedMemory(sharedMemName, kSharedMemSize);
    ResourceLock::SharedMemAddress = MapOrNull(ResourceLock::SharedMemHandle);
    ResourceLock::SharedMemStatus = false;
    waitLimit = kWaitLimit;
    stampChosen = false;
}

void ResourceLockAccess::ForgetMutex() {
    ResourceLock::LockHandle = nullptr;
}

void ResourceLockAccess::ForgetView() {
    ResourceLock::SharedMemAddress = nullptr;
}

void ResourceLockAccess::SetWaitLimit(uint32_t milliseconds) {
    waitLimit = milliseconds;
}

void ResourceLockAccess::SetStamp(uint32_t stamp) {
    stampChosen = true;
    chosenStamp = stamp;
}

uint32_t ResourceLockAccess::Stamp() {
    return ResourceLock::SharedMemAddress != nullptr ? ReadStamp(ResourceLock::SharedMemAddress)
                                                     : 0;
}

} // namespace koa
