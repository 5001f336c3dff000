// Writing a file so that readers see either the old file or the whole new one.
#pragma once

#include <string>
#include <string_view>

namespace torv {

// Writes `content` to a new temporary file in the folder of `path`, then
// renames it over `path`. On failure nothing at `path` changes and no
// temporary file is left; returns false.
bool WriteFileAtomically(const std::string& path, std::string_view content);

}  // namespace torv
