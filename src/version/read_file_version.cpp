#include <koa_dev/version.h>

#include "core/guarded.h"
#include "version/file_version_info.h"

bool ReadFileVersionInformation(const char* fileName,
                                TArray<unsigned short, 6, LV_uInt16Array**>* fileVersion,
                                TArray<unsigned short, 6, LV_uInt16Array**>* productVersion,
                                LV_uInt32* fileFlags) {
    return koa::Guarded(nullptr, [&] {
        const FileVersionInfo info(fileName);
        if (fileVersion)
            *fileVersion = info.fileVersion;
        if (productVersion)
            *productVersion = info.productVersion;
        if (fileFlags)
            *fileFlags = info.fileFlags;
        return info.valid;
    });
}
