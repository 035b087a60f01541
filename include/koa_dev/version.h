#pragma once

#include <koa_dev/error_cluster.h>
#include <koa_dev/export.h>
#include <koa_dev/tarray.h>
#include <koa_dev/tstring.h>

// The file version, product version and file flags of fileName's version resource, each written
// only through a non-null pointer (zeros when the file has none). True when the file has one.
// Versions are four parts: major, minor, build, revision.
KOA_DEV_API bool ReadFileVersionInformation(
    const char* fileName, TArray<unsigned short, 6, LV_uInt16Array**>* fileVersion,
    TArray<unsigned short, 6, LV_uInt16Array**>* productVersion, LV_uInt32* fileFlags);

// Compares this library with its released copy. Records a warning (or an error when its own
// version cannot be read) and returns the text to show; empty when there is nothing to show.
KOA_DEV_API TString VerifyCommonDeviceDllVersion(ErrorCluster* err);

// The same for the device library of the library specification name in the local directory;
// copies the released library first when there is no local copy.
KOA_DEV_API TString VerifyDeviceSpecificDllVersion(ErrorCluster* err, TString name);

// One description line per loaded library, the libraries' own version texts and the configured
// paths.
KOA_DEV_API TString FormattedVersionInfo(ErrorCluster* err);

// Copies the released library of the library specification name into the local directory,
// unloading it first when it is the loaded controller or device library.
KOA_DEV_API void UpdateLocalDLL(ErrorCluster* err, TString name);
