#include "config/paths.h"

#include "core/guarded.h"
#include "platform/files.h"

namespace {

const char kTreeError[] = "Error Unable to create directory tree";

} // namespace

bool DoesFileExists(const TString& name) {
    return koa::Guarded(nullptr, [&name] { return koa::platform::FindAnyFile(name.CStr()); });
}

namespace {

// Creates the parents first, recursively; the recursion ends at the first ancestor that exists,
// at a bare drive or relative name, or at the server of a network path.
void CreateTree(ErrorCluster* err, TString path) {
    path.TrimRight("\\/");
    if (DoesFileExists(path + "\\*.*"))
        return;
    const PathParts parts = SplitPath(path);
    const TString parent = parts.drive + parts.directory;
    if (path.IsEmpty() || parts.directory.IsEmpty() || parent == TString("\\\\")) {
        err->SetError(7, "%s", kTreeError);
        return;
    }
    CreateTree(err, parent);
    if (err->Status())
        return;
    if (!koa::platform::MakeDirectory(path.CStr()))
        err->SetError(7, "%s", kTreeError);
}

} // namespace

void CreateDirectoryTree(ErrorCluster* err, TString path) {
    koa::Guarded(err, [&] { CreateTree(err, path); });
}
