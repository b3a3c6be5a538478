// The shaders' version exports: one function under both names.
#include "binding/visibility.h"
#include "shaders/exports.h"
#include "host/records.h"

extern "C" ZARN_EXPORT zarn::host::Boolean zarn_tarvo_settings_version() { return 1; }

extern "C" ZARN_EXPORT zarn::host::Boolean zarn_TraceContinue_version()
    __attribute__((alias("zarn_tarvo_settings_version"), copy(zarn_tarvo_settings_version)));
