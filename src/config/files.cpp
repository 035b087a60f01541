#include "config/paths.h"

#include "platform/files.h"

namespace {

const char kTreeError[] = "Error Unable to create directory tree";

} // namespace

bool DoesFileExists(const TString& name) {
    return koa::platform::FindAnyFile(name.CStr());
}

// Creates the parents first, recursively; the recursion ends at the first ancestor that exists,
// at a bare drive or relative name, or at the server of a network path.
void CreateDirectoryTree(ErrorCluster* err, TString path) {
    path.TrimRight("\\/");
    if (DoesFileExists(path + "\\*.*"))
        return;
    const PathParts parts = SplitPath(path);
    const TString parent = parts.drive + parts.directory;
    if (path.IsEmpty() || parts.directory.IsEmpty() || parent == TString("\\\\")) {
        err->SetError(7, "%s", kTreeError);
        return;
    }
    CreateDirectoryTree(err, parent);
    if (err->Status())
        return;
    if (!koa::platform::MakeDirectory(path.CStr()))
        err->SetError(7, "%s", kTreeError);
}
