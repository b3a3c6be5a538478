// What the library shows to the loader: the five exports and nothing else.
#pragma once

#if defined(_WIN32)
#define ZARN_EXPORT __declspec(dllexport)
#define ZARN_HIDDEN
#else
#define ZARN_EXPORT __attribute__((visibility("default")))
#define ZARN_HIDDEN __attribute__((visibility("hidden")))
#endif

// Format checking for the message entries, which format as the C library
// of the build does (mingw's printf is the GNU one in C++).
#if defined(__clang__)
#define ZARN_PRINTF_FORMAT(text, first) __attribute__((format(printf, text, first)))
#else
#define ZARN_PRINTF_FORMAT(text, first) __attribute__((format(gnu_printf, text, first)))
#endif
