#include <koa_dev/error_cluster.h>

#include "core/lv_manager.h"
#include "core/memory.h"

ErrorCluster::ErrorCluster() : status(false), code(0), source(), fatalCode(0) {}

ErrorCluster::ErrorCluster(bool status, LV_int32 code, TString source)
    : status(status), code(code), source(source), fatalCode(0) {}

// A null record reads as a clear cluster; a null source handle as an empty text.
ErrorCluster::ErrorCluster(const LV_ErrorCluster* lv)
    : status(lv != nullptr && lv->status != 0), code(lv ? lv->code : 0),
      source(lv ? lv->source : nullptr), fatalCode(0) {}

ErrorCluster::ErrorCluster(const ErrorCluster& other) = default;

ErrorCluster& ErrorCluster::operator=(const ErrorCluster& other) = default;

ErrorCluster::~ErrorCluster() = default;

void ErrorCluster::SetError(LV_int32 errorCode, const char* format, ...) {
    va_list args;
    va_start(args, format);
    Record(errorCode, true, format, args);
    va_end(args);
}

void ErrorCluster::SetWarning(LV_int32 warningCode, const char* format, ...) {
    va_list args;
    va_start(args, format);
    Record(warningCode, false, format, args);
    va_end(args);
}

// Once an error or a fatal code is recorded, nothing replaces it.
void ErrorCluster::Record(LV_int32 newCode, bool isError, const char* format, va_list args) {
    if (Status())
        return;
    const unsigned long failures = koa::memory::Failures();
    source.vFormat(format, args);
    if (koa::memory::Failures() != failures)
        source = TString(); // rather no text than the text of an earlier report
    code = newCode;
    status = isError;
}

LV_int32 ErrorCluster::SetFatal(LV_int32 fatal) {
    if (fatalCode == 0)
        fatalCode = fatal;
    return fatal;
}

void ErrorCluster::ResetStatus() {
    status = false;
}

void ErrorCluster::ResetAll() {
    status = false;
    code = 0;
    source = TString();
}

LV_int32 ErrorCluster::LVErr(LV_ErrorCluster* lv) {
    if (fatalCode != 0)
        return fatalCode;
    if (lv == nullptr)
        return SetFatal(koa::kLvArgumentError);
    lv->status = status ? 1 : 0;
    lv->code = code;
    source.SetLV_String(this, &lv->source);
    return fatalCode;
}
