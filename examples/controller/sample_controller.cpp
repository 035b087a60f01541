// A controller library: talks to the controller and identifies the device connected to it.
//
// The common device library loads it by file name from the local library directory, calls
// VerifyControllerConnected right after loading and ControllerExit before releasing it. The
// parameter text is what follows '|' in the library specification, e.g.
// "sample_controller.dll|COM1".
//
// This sample simulates its controller: every port answers except "offline".
#include <koa_dev/koa_dev.h>

#include "sample_export.h"

namespace {

// What a real controller library would keep about its open connection.
struct Connection {
    bool open = false;
    TString port;
};

Connection connection;

// Handed out to LabVIEW code through DebugTools(); any object the driver finds useful.
struct DebugToolsObject {
    int verifyCalls = 0;
} debugTools;

} // namespace

// Required. Records an error in err when the controller cannot be used: the library is then
// released and, in list mode, the next entry of the controller list is tried.
SAMPLE_EXPORT void VerifyControllerConnected(ErrorCluster* err, TString parameters, LV_int32) {
    ++debugTools.verifyCalls;
    connection = Connection();
    parameters.Trim();
    if (parameters.IsEmpty() || parameters == TString("offline")) {
        err->SetError(5100, "Sample controller: no answer on port '%s'", parameters.CStr());
        return;
    }
    connection.open = true;
    connection.port = parameters;
}

// Optional. Called with a private cluster and the text "DebugTools" after a clean verify.
SAMPLE_EXPORT void* ControllerObjectPointer(ErrorCluster*, TString) {
    return &debugTools;
}

// Optional. Called before the library is released and when LabVIEW closes: it may run twice.
SAMPLE_EXPORT void ControllerExit() {
    connection = Connection();
}

// Optional. Writes the identification of the connected device; any error recorded here reaches
// the caller as "Unable to Identify Device".
SAMPLE_EXPORT void ID_Device(ErrorCluster* err, TString* id) {
    if (!connection.open) {
        err->SetError(5101, "Sample controller: not connected");
        return;
    }
    id->Format("SAMPLE-DEVICE,SN0001 on %s", connection.port.CStr());
}

// Optional. Appended to the version report.
SAMPLE_EXPORT void ControllerVersionInfo(TString* text) {
    text->Format("Sample controller on port '%s'\n", connection.port.CStr());
}
