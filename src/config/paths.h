#pragma once

#include <koa_dev/paths.h>

// A path split as _splitpath splits it: drive "X:", directory up to and including the last
// separator, and the rest (file name and extension).
struct PathParts {
    TString drive;
    TString directory;
    TString fileName;
};

PathParts SplitPath(const TString& path);

// The bare, trimmed file name of a library specification ("name|parameters"); parameters, when
// not null, receives the trimmed text after the first '|' (empty without one).
TString SplitLibrarySpec(TString spec, TString* parameters);
