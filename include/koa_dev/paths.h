#pragma once

#include <koa_dev/error_cluster.h>
#include <koa_dev/export.h>
#include <koa_dev/tstring.h>

// Paths follow Windows rules: a drive "X:", '\' or '/' as separators, network paths "\\server\".

// Drive and directory of the host process's executable, ending with a separator.
KOA_DEV_API TString LabVIEW_FilePath();

// File names of this library and of the loaded controller and device libraries: the whole path,
// or only the file name. Empty when the library is not loaded.
KOA_DEV_API TString CommonDLL_FileName(bool fullPath);
KOA_DEV_API TString ControllerDLL_FileName(bool fullPath);
KOA_DEV_API TString DeviceDLL_FileName(bool fullPath);

// File name and extension of path, without drive and directory.
KOA_DEV_API TString RemovePathFromFileName(const TString& path);

// Drive and directory of path, ending with the separator when it has one.
KOA_DEV_API TString RemoveFileNameFromPath(const TString& path);

// True when a directory search for name (a file, a directory or a pattern with '*' and '?')
// finds something.
KOA_DEV_API bool DoesFileExists(const TString& name);

// Creates the directory path and every missing parent; failures are error 7 in err.
KOA_DEV_API void CreateDirectoryTree(ErrorCluster* err, TString path);
