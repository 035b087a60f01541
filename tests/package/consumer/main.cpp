#include <koa_dev/koa_dev.h>
#include <koa_dev/lvhost.h>

#include <cstdio>
#include <cstring>

// On Linux, reads the version resource that koa_dev_add_version_info gave this program.
bool CarriesItsVersion() {
#if defined(_WIN32)
    return true;
#else
    TArray<unsigned short, 6, LV_uInt16Array**> file;
    LV_uInt32 flags = 0;
    return ReadFileVersionInformation("/proc/self/exe", &file, nullptr, &flags) &&
           file == TArray<unsigned short, 6, LV_uInt16Array**>(4, 3, 1, 4, 1) && flags == 2;
#endif
}

bool UsesTheInterfaceNames();

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
    const char expected[] = "File 'a.dll' not found";
    const bool same = (*lv.source)->cnt == static_cast<int32_t>(std::strlen(expected)) &&
                      std::memcmp((*lv.source)->str, expected, std::strlen(expected)) == 0;
    lvhost::Dispose(lv.source);
    std::puts(same ? "consumer ok" : "consumer: wrong source text");
    return same && lvhost::LiveHandles() == 0 ? 0 : 1;
}
