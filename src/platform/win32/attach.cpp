#include "platform/modules.h"

#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH)
        koa::platform::LibraryAttached(instance);
    return TRUE;
}
