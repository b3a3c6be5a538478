// The one place of the tool that knows its platform: loading modules,
// finding functions in them by name, and where the tool itself lies.
#pragma once

#include <filesystem>
#include <string>

namespace zarn::preview {

// Null when the module cannot be loaded; `error` then says why.
void* load_module(const std::filesystem::path& path, std::string& error);
void* find_function(void* module, const char* name);

// The folder of the running program.
std::filesystem::path program_directory();

}  // namespace zarn::preview
