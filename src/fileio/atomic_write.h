// Writing a file so that readers see either the old file or the whole new one.
#pragma once

#include <string>
#include <string_view>

#include "archive/result.h"

namespace torv {

// Writes `content` to a new temporary file (a short name in the same folder)
// and renames it over `path`. What the user set on an existing file stays:
// its permission bits (and its owner, where this process may set it), and a
// symbolic link stays a link: the file it leads to is replaced, in that
// file's own folder. An existing file that is read only (no write permission
// for anyone, or none for this process) is refused and left as it is. A
// device or pipe is written in place. On failure nothing at `path` changes,
// no temporary file is left, and the failure carries the errno of the step
// that failed.
Status WriteFileAtomically(const std::string& path, std::string_view content);

// The same for a file that must not exist yet: fails with EEXIST, leaving
// everything as it was, when `path` names anything (a file, a folder, a
// link), also when it appears while the content is being written.
Status WriteNewFileAtomically(const std::string& path, std::string_view content);

}  // namespace torv
