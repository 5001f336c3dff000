// Writing a file so that readers see either the old file or the whole new one.
#pragma once

#include <string>
#include <string_view>

#include "archive/result.h"

namespace torv {

// Writes `content` to a new temporary file in the folder of `path`, then
// renames it over `path`. On failure nothing at `path` changes, no temporary
// file is left, and the failure carries the errno of the step that failed.
Status WriteFileAtomically(const std::string& path, std::string_view content);

}  // namespace torv
