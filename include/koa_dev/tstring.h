#pragma once

#include <koa_dev/export.h>
#include <koa_dev/lv_types.h>

#include <cstdarg>
#include <cstddef>
#include <iosfwd>

class ErrorCluster;

// The library's string value: an exact-size, NUL-terminated heap buffer, deep-copied on every
// copy. Converts from and to LabVIEW string handles.
class KOA_DEV_API TString {
  public:
    TString();
    TString(const TString& other);
    TString(const char* s);
    TString(const char* s, unsigned int n);
    TString(LStr** const h);
    virtual ~TString();

    TString& operator=(const TString& other);
    TString& operator=(const char* s);

    TString& operator+=(const TString& other);
    TString& operator+=(const char* s);
    TString operator+(const TString& other) const;
    TString operator+(const char* s) const;

    operator const char*() const { return text; }
    const char* CStr() const { return text; }
    unsigned int Length() const { return length; }
    bool IsEmpty() const { return length == 0; }

    bool operator==(const TString& other) const;
    bool operator!=(const TString& other) const;
    bool operator<(const TString& other) const;
    bool operator<=(const TString& other) const;
    bool operator>(const TString& other) const;
    bool operator>=(const TString& other) const;

    TString Mid(int start, int count) const;
    TString Left(int count) const;
    TString Right(int count) const;

    void MakeUpper();
    void MakeLower();
    void MakeReverse();

    void Trim(const char* set);
    void TrimLeft(const char* set);
    void TrimRight(const char* set);
    void Trim();
    void TrimLeft();
    void TrimRight();

    void Format(const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;
    void vFormat(const char* format, va_list args);

    void SetLV_String(ErrorCluster* err, LStr*** h) const;

  private:
    void Replace(const char* s, size_t n);
    void Adopt(char* buffer, size_t n);
    void Release();
    void KeepRange(unsigned int start, unsigned int end);

    char* text;
    unsigned int length;

    static char* NullPtr;
};

KOA_DEV_API TString operator+(const char* left, const TString& right);
KOA_DEV_API std::istream& operator>>(std::istream& is, TString& s);
