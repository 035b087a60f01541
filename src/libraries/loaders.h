#pragma once

#include <koa_dev/loaders.h>
#include <koa_dev/tstring_array.h>

#include <cstdio>

// Unloads the device and controller libraries and, when fileName is not empty, loads that file
// from the local library directory as the controller library and asks it whether its controller
// is connected. A library that fails is released again without its exit function.
void SwitchControllerLibrary(ErrorCluster* err, const TString& fileName, const char* parameters);

// The entries of the controller list file, in file order.
TStringArray ReadControllerList(ErrorCluster* err);

// The entries of an open controller list, read from its current position to its end.
TStringArray ParseControllerList(ErrorCluster* err, std::FILE* file);
