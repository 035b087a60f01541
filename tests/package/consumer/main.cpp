#include <koa_dev/koa_dev.h>
#include <koa_dev/lvhost.h>

#include <cstdio>

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
    const bool same = lvhost::Text(lv.source) == "File 'a.dll' not found";
    lvhost::Dispose(lv.source);
    std::puts(same ? "consumer ok" : "consumer: wrong source text");
    return same && lvhost::LiveHandles() == 0 ? 0 : 1;
}
