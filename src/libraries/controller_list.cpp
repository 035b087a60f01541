#include "libraries/loaders.h"

#include <koa_dev/configuration.h>

#include "platform/file_read.h"

TStringArray ParseControllerList(ErrorCluster* err, std::FILE* file) {
    TStringArray list;
    // Each entry: white space (empty lines too) skipped, then at most 100 characters up to the
    // line end; a longer line goes on as further entries.
    char entry[101];
    while (std::fscanf(file, " %100[^\r\n]", entry) != EOF)
        list.Insert(TString(entry), list.GetSize());
    if (std::ferror(file))
        err->SetError(32, "Error Reading Controller List File");
    for (int i = 0; i < list.GetSize(); ++i)
        list[i].TrimRight();
    return list;
}

TStringArray ReadControllerList(ErrorCluster* err) {
    if (err->Status())
        return TStringArray();
    std::FILE* file = koa::platform::OpenFileForReading(ControllerListFile(nullptr));
    if (file == nullptr) {
        err->SetError(7, "Unable to open Controller List File");
        return TStringArray();
    }
    TStringArray list = ParseControllerList(err, file);
    std::fclose(file);
    return list;
}
