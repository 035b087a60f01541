// Calls the library's loaders for the window load test, which must not load the library itself
// before its frame window exists: the library comes into the process with this module.
#include <koa_dev/loaders.h>

// Loads the controller and then the device library of the given specifications, each with a
// cluster of its own; 0 when neither recorded an error.
extern "C" __declspec(dllexport) int LoadLibraries(const char* controller, const char* device) {
    ErrorCluster controllerErr, deviceErr;
    LoadControllerLibrary(&controllerErr, controller);
    LoadDeviceLibrary(&deviceErr, device);
    return controllerErr.Status() || deviceErr.Status() ? 1 : 0;
}
