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

// Explicit template instantiations are defined in the library and declared extern in the
// headers. GCC takes the export attribute from a class's first explicit instantiation, the extern
// declaration, and ignores one on the definition that follows it, so KOA_DEV_TEMPLATE_DECL
// carries the attribute (dllexport in the library, dllimport in its users on Windows; default
// visibility elsewhere) and KOA_DEV_TEMPLATE_DEF stays empty. MinGW exports no inline member of
// such an instantiation while its users import them all: the exported class templates define
// their non-template members out of line.
#define KOA_DEV_TEMPLATE_DECL KOA_DEV_API
#define KOA_DEV_TEMPLATE_DEF
