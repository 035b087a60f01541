// Tests of the sample libraries without LabVIEW: koa_dev::lvhost stands in for LabVIEW's memory
// manager, so handles go in and come out as LabVIEW would pass them.
#include "../device/sample_device.h"

#include <koa_dev/lvhost.h>

#include <cstdio>
#include <limits>
#include <string>
#include <vector>

SAMPLE_EXPORT void VerifyControllerConnected(ErrorCluster*, TString, LV_int32);
SAMPLE_EXPORT void ID_Device(ErrorCluster*, TString*);
SAMPLE_EXPORT void ControllerExit();
SAMPLE_EXPORT void LibraryInitilize(ErrorCluster*, TString*, TString, LV_int32);

namespace {

int failures = 0;

void Check(bool ok, const char* what) {
    if (!ok) {
        std::printf("FAILED: %s\n", what);
        ++failures;
    }
}
#define CHECK(condition) Check((condition), #condition)

void ControllerConnectsOnlyToAnsweringPorts() {
    ErrorCluster err;
    VerifyControllerConnected(&err, "offline", 0);
    CHECK(err.Status() && err.Code() == 5100);
    TString id;
    ErrorCluster idErr;
    ID_Device(&idErr, &id);
    CHECK(idErr.Code() == 5101 && id.IsEmpty());

    ErrorCluster ok;
    VerifyControllerConnected(&ok, " COM3 ", 0);
    ID_Device(&ok, &id);
    CHECK(!ok.Status() && id == TString("SAMPLE-DEVICE,SN0001 on COM3"));
    ControllerExit();
}

void DeviceInitialisationReadsItsParameters() {
    ErrorCluster err;
    TString result;
    LibraryInitilize(&err, &result, "gain=2.5", 0);
    CHECK(!err.Status() && result == TString("Sample device ready, gain 2.5"));
    LibraryInitilize(&err, &result, "gain=", 0);
    CHECK(err.Code() == 5201);
}

void InitialiseWithGain() {
    ErrorCluster err;
    TString result;
    LibraryInitilize(&err, &result, "gain=2.5", 0);
}

void ScaleWritesTheOutputHandle() {
    InitialiseWithGain();
    LV_ErrorCluster error{0, 0, nullptr};
    LV_float64Array** values = lvhost::NewArray<LV_float64Array>(10, {1.0, -2.0});
    LV_float64Array** scaled = nullptr;
    CHECK(SampleDevice_Scale(&error, values, 3.0, &scaled) == 0);
    CHECK(error.status == 0 && lvhost::Elements(scaled) == (std::vector<double>{7.5, -15.0}));

    // An error wired in passes through untouched and the operation does nothing.
    error.status = 1;
    error.code = 42;
    CHECK(SampleDevice_Scale(&error, values, 3.0, &scaled) == 0);
    CHECK(error.code == 42 && lvhost::Elements(scaled).empty());

    // The library's own error reaches the error out with its message.
    error = LV_ErrorCluster{0, 0, error.source};
    SampleDevice_Scale(&error, values, std::numeric_limits<double>::quiet_NaN(), &scaled);
    CHECK(error.status == 1 && error.code == 5200 &&
          lvhost::Text(error.source) == "Sample device: scale factor is not a number");

    // A memory manager failure is the function's result, as LabVIEW expects an MgErr.
    error = LV_ErrorCluster{0, 0, error.source};
    lvhost::FailCall(1, lvhost::kMemoryFull);
    CHECK(SampleDevice_Scale(&error, values, 1.0, &scaled) == lvhost::kMemoryFull);
    lvhost::Dispose(values);
    lvhost::Dispose(scaled);
    lvhost::Dispose(error.source);
}

void ReportJoinsChannels() {
    InitialiseWithGain();
    LV_ErrorCluster error{0, 0, nullptr};
    LV_stringArray** channels = lvhost::NewStringArray({"x", "y"});
    LStr** report = nullptr;
    CHECK(SampleDevice_Report(&error, channels, &report) == 0);
    CHECK(lvhost::Text(report) == "x = 2.500\ny = 5.000\n");
    lvhost::DisposeStringArray(channels);
    lvhost::Dispose(report);
    lvhost::Dispose(error.source);
}

} // namespace

int main() {
    ControllerConnectsOnlyToAnsweringPorts();
    DeviceInitialisationReadsItsParameters();
    ScaleWritesTheOutputHandle();
    ReportJoinsChannels();
    CHECK(lvhost::LiveHandles() == 0);
    std::printf(failures == 0 ? "samples ok\n" : "%d check(s) failed\n", failures);
    return failures == 0 ? 0 : 1;
}
