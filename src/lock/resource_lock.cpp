#include <koa_dev/resource_lock.h>

#include "lock/library_lock.h"
#include "lock/lock_owner.h"
#include "lock/resource_lock_access.h"
#include "platform/named_lock.h"

#include <cstring>
#include <string>

namespace {

constexpr const char* kMutexName = "KOA_DEV Lock";
constexpr const char* kSharedMemName = "KOA_DEV Mem";
constexpr std::size_t kSharedMemSize = 16;
constexpr uint32_t kWaitLimit = 60000;

constexpr int32_t kLockError = 72;
constexpr int32_t kMissingError = 15;

constexpr const char* kNotFound = "KOA_DEV.dll Resource Lock not Found!";
constexpr const char* kMemoryNotFound = "KOA_DEV.dll Resource Lock - Shared Memory NOT Found!";
constexpr const char* kUnexpected =
    "KOA_DEV.dll Resource Lock request returned unexpected response!";

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

// The names of the objects in use, for what the platform found wrong with them. Never destroyed:
// the lock may be used during static destruction.
std::string& MutexName() {
    static auto* name = new std::string(kMutexName);
    return *name;
}

std::string& SharedMemName() {
    static auto* name = new std::string(kSharedMemName);
    return *name;
}

// The error of a missing or failing object: its usual text, or, when the platform knows what is
// wrong with the object, code 72 and that text followed by the reason and the remedy.
void Report(ErrorCluster* err, int32_t code, const char* text, const std::string& name) {
    const std::string trouble = koa::platform::NamedObjectTrouble(name.c_str());
    if (trouble.empty())
        err->SetError(code, "%s", text);
    else
        err->SetError(kLockError, "%s %s", text, trouble.c_str());
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
        Report(err, kLockError, kNotFound, MutexName());
}

ResourceLock::~ResourceLock() {
    UnLock();
}

void ResourceLock::Lock(ErrorCluster* err) {
    if (err->Status() || Locked)
        return;
    if (LockHandle == nullptr) {
        Report(err, kLockError, kNotFound, MutexName());
        return;
    }
    if (SharedMemAddress == nullptr) {
        Report(err, kMissingError, kMemoryNotFound, SharedMemName());
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
    Report(err, kLockError, kUnexpected, MutexName());
}

void ResourceLock::UnLock() {
    if (Locked && koa::platform::ReleaseNamedMutex(LockHandle))
        Locked = false;
}

namespace koa {

void ResourceLockAccess::Open(const char* mutexName, const char* sharedMemName) {
    MutexName() = mutexName;
    SharedMemName() = sharedMemName;
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
