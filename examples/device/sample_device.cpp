// A device library: the code for one kind of device.
//
// The common device library loads it by file name from the local library directory while a
// controller library is loaded, calls LibraryInitilize right after loading and LibraryExit
// before releasing it. The parameter text is what follows '|' in the name given to
// LoadDeviceLibrary, e.g. "sample_device.dll|gain=2".
#include "sample_device.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

using DoubleArray = TArray<double, 10, LV_float64Array**>;

double gain = 1.0;

// Operations take the cluster first and do nothing once it holds an error.
DoubleArray Scale(ErrorCluster* err, const DoubleArray& values, double factor) {
    if (err->Status())
        return DoubleArray();
    if (!std::isfinite(factor)) {
        err->SetError(5200, "Sample device: scale factor is not a number");
        return DoubleArray();
    }
    DoubleArray scaled(values);
    for (int i = 0; i < scaled.GetSize(); ++i)
        scaled[i] *= gain * factor;
    return scaled;
}

TString Report(ErrorCluster* err, const TStringArray& channels) {
    TString report;
    if (err->Status())
        return report;
    for (int i = 0; i < channels.GetSize(); ++i) {
        TString line;
        line.Format("%s = %.3f\n", channels[i].CStr(), gain * (i + 1));
        report += line;
    }
    return report;
}

} // namespace

// Required (the name is spelled so). Writes the text LoadDeviceLibrary returns; an error in err
// makes the load fail and the library is released without LibraryExit.
SAMPLE_EXPORT void LibraryInitilize(ErrorCluster* err, TString* result, TString parameters,
                                    LV_int32) {
    gain = 1.0;
    parameters.Trim();
    if (!parameters.IsEmpty()) {
        char* end = nullptr;
        const bool prefixed = std::strncmp(parameters, "gain=", 5) == 0;
        const double value = prefixed ? std::strtod(parameters.CStr() + 5, &end) : 0.0;
        if (!prefixed || end == parameters.CStr() + 5 || *end != '\0') {
            err->SetError(5201, "Sample device: unknown parameter '%s'", parameters.CStr());
            return;
        }
        gain = value;
    }
    result->Format("Sample device ready, gain %g", gain);
}

// Optional. Called before the library is released and when LabVIEW closes: it may run twice.
SAMPLE_EXPORT void LibraryExit() {
    gain = 1.0;
}

// Optional. Appended to the version report.
SAMPLE_EXPORT void DeviceSpecificVersionInfo(TString* text) {
    text->Format("Sample device, gain %g\n", gain);
}

// The pattern of every LabVIEW-facing function: a cluster from the error in, values from the
// handles, the operation, results into the caller's handles, the cluster to the error out.
LV_int32 SampleDevice_Scale(LV_ErrorCluster* errorIO, LV_float64Array** values, double factor,
                            LV_float64Array*** scaled) {
    ErrorCluster err(errorIO);
    const DoubleArray result = Scale(&err, DoubleArray(values), factor);
    result.SetLV_Array(&err, scaled);
    return err.LVErr(errorIO);
}

LV_int32 SampleDevice_Report(LV_ErrorCluster* errorIO, LV_stringArray** channels, LStr*** report) {
    ErrorCluster err(errorIO);
    Report(&err, TStringArray(channels)).SetLV_String(&err, report);
    return err.LVErr(errorIO);
}
