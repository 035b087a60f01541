#pragma once

#include <koa_dev/error_cluster.h>
#include <koa_dev/export.h>
#include <koa_dev/tstring.h>

// The installation's settings, read from koa_dev.rsc on first use.

// Reads koa_dev.rsc again; its errors go to err, which must not be null.
KOA_DEV_API void ReloadCommonDllResourceFile(ErrorCluster* err);

// The configured values. A value that is not configured reads "<Unknown>" and, when err is not
// null, records error 15. With an error already in err they return the empty string.
KOA_DEV_API TString ReleasedDllPath(ErrorCluster* err);
KOA_DEV_API TString FirmwarePath(ErrorCluster* err);
KOA_DEV_API TString ProfilePath(ErrorCluster* err);
KOA_DEV_API TString ControllerListFile(ErrorCluster* err);
KOA_DEV_API TString RevisionCheckFile(ErrorCluster* err);
KOA_DEV_API TString LocalDllPath(ErrorCluster* err);

// The configured menu directory, or else the directory of the revision check file.
KOA_DEV_API TString MenuPath(ErrorCluster* err);
