// The shaders as the renderer calls them: (result, shader state, parameter
// record), returning a 32-bit boolean; and their version exports.
#pragma once

#include "binding/visibility.h"
#include "host/records.h"
#include "shaders/parameter_records.h"

extern "C" {

ZARN_EXPORT zarn::host::Boolean zarn_tarvo_settings(void* result, zarn::host::ShaderState* state,
                                                    const zarn::shaders::SettingsParameters* p);
ZARN_EXPORT zarn::host::Boolean zarn_tarvo_settings_version();

ZARN_EXPORT zarn::host::Boolean zarn_TraceContinue(zarn::host::Colour* result,
                                                   zarn::host::ShaderState* state,
                                                   const zarn::shaders::TraceContinueParameters* p);
ZARN_EXPORT zarn::host::Boolean zarn_TraceContinue_version();

}  // extern "C"
