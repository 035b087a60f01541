#include "config/paths.h"

#include <cstring>

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

} // namespace

PathParts SplitPath(const TString& path) {
    const char* text = path.CStr();
    const unsigned int length = path.Length();
    const unsigned int driveEnd = length >= 2 && text[1] == ':' ? 2 : 0;
    unsigned int nameStart = driveEnd;
    for (unsigned int i = driveEnd; i < length; ++i)
        if (IsSeparator(text[i]))
            nameStart = i + 1;
    return PathParts{TString(text, driveEnd), TString(text + driveEnd, nameStart - driveEnd),
                     TString(text + nameStart)};
}

TString RemovePathFromFileName(const TString& path) {
    return SplitPath(path).fileName;
}

TString RemoveFileNameFromPath(const TString& path) {
    const PathParts parts = SplitPath(path);
    return parts.drive + parts.directory;
}

TString SplitLibrarySpec(TString spec, TString* parameters) {
    const char* bar = std::strchr(spec.CStr(), '|');
    if (bar != nullptr) {
        if (parameters != nullptr) {
            *parameters = bar + 1;
            parameters->Trim();
        }
        spec = spec.Mid(0, static_cast<int>(bar - spec.CStr()));
    } else if (parameters != nullptr) {
        *parameters = TString();
    }
    spec = RemovePathFromFileName(spec);
    spec.Trim();
    return spec;
}
