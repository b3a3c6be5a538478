// zarn_TraceContinue: continues the current ray through the surface, or
// returns its colour parameter.
#include "binding/visibility.h"
#include "shaders/exports.h"
#include "host/records.h"
#include "host/renderer_functions.h"
#include "shaders/parameter_evaluation.h"
#include "shaders/parameter_records.h"

extern "C" ZARN_EXPORT zarn::host::Boolean zarn_TraceContinue(
    zarn::host::Colour* result, zarn::host::ShaderState* state,
    const zarn::shaders::TraceContinueParameters* parameters) {
  using namespace zarn::shaders;
  // The colour is evaluated only when it is returned, so a shader connected
  // to it runs only then.
  if (read_parameter(state, parameters->continue_ray) != 0) return mi_trace_continue(result, state);
  *result = read_parameter(state, parameters->color);
  return 1;
}
