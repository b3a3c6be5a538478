// A module that exports no renderer function at all.
#if defined(_WIN32)
#define EMPTY_API __declspec(dllexport)
#else
#define EMPTY_API __attribute__((visibility("default")))
#endif

extern "C" EMPTY_API int not_a_renderer() { return 0; }
