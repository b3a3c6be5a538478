// The shaders' version exports: one function under both names.
#include "binding/visibility.h"
#include "shaders/exports.h"
#include "host/records.h"

extern "C" ZARN_EXPORT zarn::host::Boolean zarn_tarvo_settings_version() { return 1; }

// The second name is an alias, so both exports have one address; gcc also
// copies the first one's attributes onto it.
#if defined(__clang__)
#define ZARN_ALIAS_OF(target) __attribute__((alias(#target)))
#else
#define ZARN_ALIAS_OF(target) __attribute__((alias(#target), copy(target)))
#endif

extern "C" ZARN_EXPORT zarn::host::Boolean zarn_TraceContinue_version()
    ZARN_ALIAS_OF(zarn_tarvo_settings_version);
