// What the library shows to the loader: the five exports and nothing else.
#pragma once

#if defined(_WIN32)
#define ZARN_EXPORT __declspec(dllexport)
#define ZARN_HIDDEN
#else
#define ZARN_EXPORT __attribute__((visibility("default")))
#define ZARN_HIDDEN __attribute__((visibility("hidden")))
#endif
