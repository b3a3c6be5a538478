// A second renderer module that answers differently from the stand-in, to
// show which module an entry resolved against.
#include <cstdint>

#if defined(_WIN32)
#define OTHER_API __declspec(dllexport)
#else
#define OTHER_API __attribute__((visibility("default")))
#endif

extern "C" OTHER_API std::int32_t mi_par_aborted() { return 2; }
