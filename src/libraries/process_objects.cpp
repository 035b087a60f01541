// The library's process-wide objects that need construction, defined in one place so that they
// are built in this order at load and destroyed in the reverse order at unload: the watch's hook
// goes first. The entry point records the library's module after all of them.

#include "config/configuration.h"
#include "libraries/host_window_watch.h"
#include "lock/library_lock.h"

#include <koa_dev/address_cache.h>
#include <koa_dev/resource_lock.h>

CommonDllResourceFile commonDllResourceFile;

TString AddressCache::FailureList[kFailureSlots];

void* ResourceLock::LockHandle = koa::lock::OpenLibraryMutex();
void* ResourceLock::SharedMemHandle = koa::lock::OpenLibrarySharedMemory();
void* ResourceLock::SharedMemAddress = koa::lock::MapLibraryView(ResourceLock::SharedMemHandle);
bool ResourceLock::SharedMemStatus = false;

HostWindowWatch hostWindowWatch;
