#include <koa_dev/koa_dev.h>
#include <koa_dev/lvhost.h>

#include <cstdio>
#include <cstring>

// Writes an error through the installed library into a LabVIEW record held by the stand-in.
int main() {
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
