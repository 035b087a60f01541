#pragma once

#include <koa_dev/export.h>
#include <koa_dev/lv_types.h>
#include <koa_dev/tstring.h>

KOA_LV_PACK_BEGIN

// The error channel of every library operation: LabVIEW's status, code and source, plus the
// first failure of LabVIEW's memory manager (the fatal code).
class KOA_DEV_API ErrorCluster {
  public:
    ErrorCluster();
    ErrorCluster(bool status, LV_int32 code, TString source);
    ErrorCluster(const LV_ErrorCluster* lv);
    ErrorCluster(const ErrorCluster& other);
    ErrorCluster& operator=(const ErrorCluster& other);
    virtual ~ErrorCluster();

    bool Status() const { return status || fatalCode != 0; }
    bool FatalStatus() const { return fatalCode != 0; }
    LV_int32 Code() const { return code; }
    TString Source() const { return source; }
    LV_int32 FatalCode() const { return fatalCode; }

    void SetError(LV_int32 code, const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 3, 4)))
#endif
        ;
    void SetWarning(LV_int32 code, const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 3, 4)))
#endif
        ;
    LV_int32 SetFatal(LV_int32 code);

    void ResetStatus();
    void ResetAll();

    LV_int32 LVErr(LV_ErrorCluster* lv);

  private:
    void Record(LV_int32 newCode, bool isError, const char* format, va_list args);

    bool status;
    LV_int32 code;
    TString source;
    LV_int32 fatalCode;
};

KOA_LV_PACK_END
