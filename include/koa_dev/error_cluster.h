#pragma once

#include <koa_dev/export.h>
#include <koa_dev/lv_types.h>
#include <koa_dev/tstring.h>

#include <cstdint>

KOA_LV_PACK_BEGIN

// The error channel of every library operation: LabVIEW's status, code and source, plus the
// first failure of LabVIEW's memory manager (the fatal code).
class KOA_DEV_API ErrorCluster {
  public:
    ErrorCluster();
    ErrorCluster(bool status, int32_t code, TString source);
    ErrorCluster(const LV_ErrorCluster* lv);
    ErrorCluster(const ErrorCluster& other);
    ErrorCluster& operator=(const ErrorCluster& other);
    virtual ~ErrorCluster();

    bool Status() const { return status || fatalCode != 0; }
    bool FatalStatus() const { return fatalCode != 0; }
    int32_t Code() const { return code; }
    TString Source() const { return source; }
    int32_t FatalCode() const { return fatalCode; }

    void SetError(int32_t code, const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 3, 4)))
#endif
        ;
    void SetWarning(int32_t code, const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 3, 4)))
#endif
        ;
    int32_t SetFatal(int32_t code);

    void ResetStatus();
    void ResetAll();

    int32_t LVErr(LV_ErrorCluster* lv);

  private:
    void Record(int32_t newCode, bool isError, const char* format, va_list args);

    bool status;
    int32_t code;
    TString source;
    int32_t fatalCode;
};

KOA_LV_PACK_END
