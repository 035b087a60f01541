#pragma once

// Everything a controller or device library needs from the common device library.
#include <koa_dev/address_cache.h>
#include <koa_dev/configuration.h>
#include <koa_dev/error_cluster.h>
#include <koa_dev/export.h>
#include <koa_dev/library_handles.h>
#include <koa_dev/loaders.h>
#include <koa_dev/lv_arrays.h>
#include <koa_dev/lv_types.h>
#include <koa_dev/numeric.h>
#include <koa_dev/paths.h>
#include <koa_dev/resource_lock.h>
#include <koa_dev/state_cache.h>
#include <koa_dev/tarray.h>
#include <koa_dev/tarray_array.h>
#include <koa_dev/tstring.h>
#include <koa_dev/tstring_array.h>
#include <koa_dev/version.h>
