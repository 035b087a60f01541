#include "libraries/module_handles.h"

#include "platform/modules.h"

void* moduleHandle = nullptr;
void* controllerLibrary = nullptr;
void* deviceLibrary = nullptr;
void* controllerObject = nullptr;

void koa::platform::LibraryAttached(void* ownModule) {
    moduleHandle = ownModule;
}
