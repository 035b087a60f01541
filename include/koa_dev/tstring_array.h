#pragma once

#include <koa_dev/export.h>
#include <koa_dev/lv_arrays.h>
#include <koa_dev/tstring.h>

class ErrorCluster;

// A one-dimensional array of strings exchanged with LabVIEW. Every element is its own heap
// object, so elements keep their addresses when others are inserted.
class KOA_DEV_API TStringArray {
  public:
    TStringArray();
    TStringArray(int n);
    // n elements (at least one): first, then copies of the following strings; elements without a
    // value are empty.
    template <typename... Rest>
    TStringArray(int n, TString first, Rest&&... rest) : TStringArray() {
        const TString values[] = {first, TString(rest)...};
        Assign(values, static_cast<int>(sizeof...(Rest)) + 1, n);
    }
    template <typename... Rest>
    TStringArray(int n, const char* first, Rest... rest) : TStringArray() {
        const char* const values[] = {first, static_cast<const char*>(rest)...};
        Assign(values, static_cast<int>(sizeof...(Rest)) + 1, n);
    }
    TStringArray(const TString* values, int n);
    TStringArray(const char** values, int n);
    TStringArray(LV_stringArray** h);
    TStringArray(const TStringArray& other);
    virtual ~TStringArray();

    TStringArray& operator=(const TStringArray& other);

    int GetSize() const;
    int GetUpperBound() const;
    operator const TString*() const;
    TString operator[](int i) const;
    TString& operator[](int i);

    TStringArray SubArray(int start, int n) const;
    TStringArray& Insert(TString s, int pos);
    TStringArray& Insert(const TStringArray& other, int pos);
    TStringArray& Initialize(TString s, int n);

    bool operator==(const TStringArray& other) const;
    bool operator!=(const TStringArray& other) const;
    bool operator<(const TStringArray& other) const;
    bool operator<=(const TStringArray& other) const;
    bool operator>(const TStringArray& other) const;
    bool operator>=(const TStringArray& other) const;

    void SetLV_Array(ErrorCluster* err, LV_stringArray*** h) const;

  protected:
    TStringArray(TString** values, int n);
    void Empty();
    int CompareTest(const TStringArray& other) const;

  private:
    void Assign(const TString* values, int given, int n);
    void Assign(const char* const* values, int given, int n);
    void Adopt(TString** table, int n);
    void Splice(TString** added, int n, int pos);

    TString** elements;
    int count;
};
