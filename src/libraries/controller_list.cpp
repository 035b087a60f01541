#include "libraries/loaders.h"

#include <koa_dev/configuration.h>

#include <cstdio>

TStringArray ReadControllerList(ErrorCluster* err) {
    TStringArray list;
    if (err->Status())
        return list;
    if (std::FILE* file = std::fopen(ControllerListFile(nullptr), "rb")) {
        char entry[101];
        while (std::fscanf(file, " %100[^\r\n]", entry) != EOF)
            list.Insert(TString(entry), list.GetSize());
        if (std::ferror(file))
            err->SetError(32, "Error Reading Controller List File");
        std::fclose(file);
    } else {
        err->SetError(7, "Unable to open Controller List File");
    }
    for (int i = 0; i < list.GetSize(); ++i)
        list[i].TrimRight();
    return list;
}
