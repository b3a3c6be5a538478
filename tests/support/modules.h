// Loading the test programs' renderer modules, and capturing what the
// library writes to stderr.
#pragma once

#include <string>

namespace zarn::testing {

// Loads a module that lies beside the test program; never null.
void* load_module(const char* file_name);

// The stand-in renderer's handle, as the renderer would hand it over.
void* stand_in_module();
void* other_renderer_module();
void* empty_module();

// What a platform lookup error of a missing function is.
inline constexpr int missing_function_error = 127;

// Runs `action` and returns what it wrote to stderr.
template <class Action>
std::string stderr_of(Action&& action);

}  // namespace zarn::testing

#include <gtest/gtest.h>

template <class Action>
std::string zarn::testing::stderr_of(Action&& action) {
  ::testing::internal::CaptureStderr();
  action();
  return ::testing::internal::GetCapturedStderr();
}
