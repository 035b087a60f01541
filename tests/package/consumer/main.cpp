// A driver written with the interface's own type names. On Windows those are long and unsigned
// long, and every use below must resolve from the library's DLL; elsewhere the same source builds
// with the library's LV_int32 and LV_uInt32.
#include <koa_dev/koa_dev.h>
#include <koa_dev/lvhost.h>

#include <cstdio>
#include <type_traits>

#if defined(_WIN32)
static_assert(std::is_same_v<LV_int32, long> && std::is_same_v<LV_uInt32, unsigned long>,
              "on Windows the interface's int32 and uInt32 are long and unsigned long");
using Long = long;
using ULong = unsigned long;
#else
using Long = LV_int32;
using ULong = LV_uInt32;
#endif

using Longs = TArray<Long, 3, LV_int32Array**>;
using ULongs = TArray<ULong, 7, LV_uInt32Array**>;

// Converts and compares arrays of one interface type.
template <typename Array, typename Handle> bool Works() {
    Array a(3, 1, 2, 3);
    a.Insert(Array(1, 4), 3).Insert(5, -1);
    ErrorCluster err;
    Handle h = nullptr;
    a.SubArray(1, -1).SetLV_Array(&err, &h);
    const Array back(h);
    lvhost::Dispose(h);
    return back == Array(4, 2, 3, 4, 5) && back > Array(1, 1) && !err.Status();
}

bool UsesTheInterfaceNames() {
    ErrorCluster err(false, Long(0), TString()), failed(true, Long(5), "skip the wait");
    err.SetWarning(Long(2), "warning %d", 2);
    TArrayArray<Longs, Long, LV_int32ArrayArray**> rows(2, 3, 1);
    TArrayArray<ULongs, ULong, LV_uInt32ArrayArray**> unsignedRows(1, 2);
    unsignedRows.Initialize(ULong(7));
    ULong flags = 0;
    ReadFileVersionInformation("", nullptr, nullptr, &flags);
    Sleep(&failed, ULong(1000));
    return err.Code() == Long(2) && err.SetFatal(Long(0)) == 0 && rows.GetTotalElements() == 4 &&
           rows.GetSizes() == Longs(2, 3, 1) && rows.CreateFlattenedArray().GetSize() == 4 &&
           unsignedRows[0] == ULongs(2, 7, 7) && flags == 0 && int32Round(-2.5) == Long(-3) &&
           uInt32Round(2.5) == ULong(3) && Works<Longs, LV_int32Array**>() &&
           Works<ULongs, LV_uInt32Array**>();
}

// On Linux, reads the version resource that koa_dev_add_version_info gave this program.
bool CarriesItsVersion() {
#if defined(_WIN32)
    return true;
#else
    using Version = TArray<unsigned short, 6, LV_uInt16Array**>;
    Version file;
    LV_uInt32 flags = 0;
    return ReadFileVersionInformation("/proc/self/exe", &file, nullptr, &flags) &&
           file == Version(4, 3, 1, 4, 1) && flags == 2;
#endif
}

// Writes an error through the installed library into a LabVIEW record held by the stand-in.
int main() {
    if (!CarriesItsVersion() || !UsesTheInterfaceNames()) {
        std::puts(CarriesItsVersion() ? "consumer: the interface's type names do not work"
                                      : "consumer: no version information");
        return 1;
    }
    ErrorCluster err;
    err.SetError(13, "File '%s' not found", "a.dll");
    LV_ErrorCluster lv{0, 0, nullptr};
    if (err.LVErr(&lv) != 0 || lv.status != 1 || lv.code != 13)
        return 1;
    const bool same = lvhost::Text(lv.source) == "File 'a.dll' not found";
    lvhost::Dispose(lv.source);
    std::puts(same ? "consumer ok" : "consumer: wrong source text");
    return same && lvhost::LiveHandles() == 0 ? 0 : 1;
}
