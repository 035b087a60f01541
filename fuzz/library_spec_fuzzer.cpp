// Splits arbitrary text as a library specification and as a path.
#include "config/paths.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

bool Blank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool Trimmed(const TString& s) {
    return s.Length() == 0 || (!Blank(s.CStr()[0]) && !Blank(s.CStr()[s.Length() - 1]));
}

void Require(bool condition) {
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const TString text(reinterpret_cast<const char*>(data), static_cast<unsigned int>(size));

    const PathParts parts = SplitPath(text);
    Require(parts.drive + parts.directory + parts.fileName == text);
    Require(std::strpbrk(parts.fileName.CStr(), "\\/") == nullptr);

    TString parameters("unchanged");
    const TString name = SplitLibrarySpec(text, &parameters);
    Require(Trimmed(name) && Trimmed(parameters));
    Require(std::strpbrk(name.CStr(), "\\/") == nullptr);
    // A bar that opens the text leaves the whole text as the name (Mid with count 0).
    const char* bar = std::strchr(text.CStr(), '|');
    Require(bar == text.CStr() || std::strchr(name.CStr(), '|') == nullptr);
    TString after(bar != nullptr ? bar + 1 : "");
    after.Trim();
    Require(parameters == after);
    Require(SplitLibrarySpec(text, nullptr) == name);
    return 0;
}
