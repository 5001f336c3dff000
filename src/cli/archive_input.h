// The archives named on the command line: a file, or "-" for standard input.
// Each is read once; every view of a command is computed from that image.
#pragma once

#include <string>
#include <string_view>

#include "archive/archive_reader.h"
#include "archive/result.h"
#include "cli/cli_output.h"

namespace torv {

struct ArchiveInput {
  // How the status line and `info` name the archive: the full path, as the
  // window's open dialog gives it, or "-" for standard input.
  std::string shownName;
  ArchiveFileContents contents;
};

// Reads the archive `path` names; the failure carries the reason.
Result<ArchiveInput> ReadArchiveInput(const std::string& path);

}  // namespace torv
