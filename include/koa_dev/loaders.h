#pragma once

#include <koa_dev/error_cluster.h>
#include <koa_dev/export.h>
#include <koa_dev/tstring.h>

// Loads the controller library of the library specification name ("file|parameters") from the
// local library directory, copying it from the released directory when only that one has it. An
// empty name tries the entries of the controller list file until one connects. Returns the text
// of the version check of the loaded library (empty when there is nothing to show, and after
// every failure).
KOA_DEV_API TString LoadControllerLibrary(ErrorCluster* err, TString name);

// Unloads the device library, then loads and initialises the one of the library specification
// name; an empty name only unloads. Returns the text the device library's initialisation wrote.
// A controller library must be loaded. err must not be null.
KOA_DEV_API TString LoadDeviceLibrary(ErrorCluster* err, const TString& name);

// The identification of the connected device, as the controller library gives it. err must not
// be null.
KOA_DEV_API TString ID_Device(ErrorCluster* err);
