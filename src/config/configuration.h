#pragma once

#include <koa_dev/configuration.h>

// The process's one configuration object: the values of koa_dev.rsc, read on first use.
class CommonDllResourceFile {
  public:
    using Field = TString CommonDllResourceFile::*;

    // Reads the resource file when no load has started yet; the errors of that load are dropped.
    void EnsureLoaded();

    // Reads the resource file into the fields, resolves the local library path and creates its
    // directory; errors go to err. A load that runs out of memory is made again on the next read.
    void Load(ErrorCluster* err);

    // A field's value, after EnsureLoaded.
    const TString& Read(Field field);

    // The block of configured paths shown in the version report.
    TString FormattedPathInfo();

    TString releasedDllPath;
    TString firmwarePath;
    TString profilePath;
    TString controllerListFile;
    TString revisionCheckFile;
    TString localDllPath;
    TString menuPath;

  private:
    void LoadValues(ErrorCluster* err);
    bool ReadStrings(ErrorCluster* err, const TString& file);
    void ResolveLocalDllPath();
    void EnsureLocalDllDirectory(ErrorCluster* err);

    bool loaded = false;
};

extern CommonDllResourceFile commonDllResourceFile;
