// zarn-preview: the library's shaders run in the stand-in renderer from the
// command line, and renderer modules checked against the catalogue.
#pragma once

#include <ostream>

namespace zarn::preview {

inline constexpr int exit_ok = 0;
inline constexpr int exit_failed = 1;  // the shader returned 0; a module lacks functions
inline constexpr int exit_usage = 2;   // bad input or missing files: nothing was called

// The whole tool: argv[0] is the program's name.  Results go to `out`,
// one-line errors to `err`; returns the exit status.
int run(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace zarn::preview
