// How a shader reads a parameter: in place, or through mi_phen_eval when the
// parameter is connected to another shader.
#pragma once

#include <cstdint>
#include <cstring>

#include "host/records.h"
#include "host/renderer_functions.h"

namespace zarn::shaders {

// The address of the parameter's current value.  The function record, its
// connection flag and offset are fetched anew at every read.
inline const void* evaluate_parameter(const host::ShaderState* state,
                                      const void* parameter) noexcept {
  const host::FunctionRecord* function = state->function;
  if (function->connection_flag != 1) return parameter;
  std::int32_t connection;
  std::memcpy(&connection, static_cast<const char*>(parameter) + function->connection_offset,
              sizeof connection);
  if (connection == 0 || connection == -2) return parameter;
  return mi_phen_eval(state, parameter);
}

// Reads one parameter's value, of its full width.  A connected parameter for
// which the renderer gives no value address reads as zero.
template <class T>
T read_parameter(const host::ShaderState* state, const T& parameter) noexcept {
  T value{};
  if (const void* at = evaluate_parameter(state, &parameter)) std::memcpy(&value, at, sizeof value);
  return value;
}

}  // namespace zarn::shaders
