#include "modules/module_handles.h"

#include "platform/modules.h"

void* moduleHandle = nullptr;
void* controllerLibrary = nullptr;
void* deviceLibrary = nullptr;
void* controllerObject = nullptr;
uint32_t moduleStamp = 0;

void koa::platform::LibraryAttached(void* ownModule) {
    moduleHandle = ownModule;
    moduleStamp = koa::platform::ModuleStamp(ownModule);
}
