#pragma once

// KOA_DEV_API marks the classes and functions that controller and device libraries link against.
// Everything else in the library has hidden visibility.
#if defined(KOA_DEV_STATIC)
#define KOA_DEV_API
#elif defined(_WIN32)
#if defined(KOA_DEV_BUILDING)
#define KOA_DEV_API __declspec(dllexport)
#else
#define KOA_DEV_API __declspec(dllimport)
#endif
#else
#define KOA_DEV_API __attribute__((visibility("default")))
#endif

// Explicit template instantiations are exported from the library and declared extern in the
// headers. MinGW wants the export attribute on the instantiation definition only.
#if defined(_WIN32) && !defined(KOA_DEV_STATIC)
#if defined(KOA_DEV_BUILDING)
#define KOA_DEV_TEMPLATE_DECL
#define KOA_DEV_TEMPLATE_DEF __declspec(dllexport)
#else
#define KOA_DEV_TEMPLATE_DECL __declspec(dllimport)
#define KOA_DEV_TEMPLATE_DEF
#endif
#else
#define KOA_DEV_TEMPLATE_DECL KOA_DEV_API
#define KOA_DEV_TEMPLATE_DEF KOA_DEV_API
#endif
