#pragma once

#include <koa_dev/error_cluster.h>
#include <koa_dev/tstring.h>

// Compares the loaded controller library with its released copy: records a warning (or error 15)
// and returns the text to show; empty when there is nothing to show.
TString VerifyControllerDllVersion(ErrorCluster* err);
