#include "platform/named_lock.h"

#include <windows.h>

namespace koa::platform {

void* CreateNamedMutex(const char* name) {
    return CreateMutexA(nullptr, FALSE, name);
}

MutexWait WaitNamedMutex(void* mutex, uint32_t milliseconds) {
    switch (WaitForSingleObject(mutex, milliseconds)) {
    case WAIT_OBJECT_0:
        return MutexWait::Acquired;
    case WAIT_ABANDONED:
        return MutexWait::Abandoned;
    case WAIT_TIMEOUT:
        return MutexWait::Timeout;
    default:
        return MutexWait::Failed;
    }
}

bool ReleaseNamedMutex(void* mutex) {
    return ReleaseMutex(mutex) != FALSE;
}

void* CreateSharedMemory(const char* name, std::size_t size) {
    return CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                              static_cast<DWORD>(size), name);
}

void* MapSharedMemory(void* sharedMemory) {
    return MapViewOfFile(sharedMemory, FILE_MAP_ALL_ACCESS, 0, 0, 0);
}

std::string NamedObjectTrouble(const char*) {
    return {};
}

void RemoveNamedObject(const char*) {}

void SetNamedObjectRoot(const char*) {}

} // namespace koa::platform
