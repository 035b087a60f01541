#pragma once

// Marks a function that LabVIEW or the common device library finds by its plain name.
#if defined(_WIN32)
#define SAMPLE_EXPORT extern "C" __declspec(dllexport)
#else
#define SAMPLE_EXPORT extern "C" __attribute__((visibility("default")))
#endif
