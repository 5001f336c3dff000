// What the archive file choice does with the name the open dialog returned;
// the extension rule itself is archive/file_name_rule.h.
#pragma once

#include <string>
#include <string_view>

#include "archive/archive_format.h"

namespace torv {

enum class ArchiveNameVerdict {
  kAccepted,  // the extension is ".dat", byte for byte
  kAppended,  // no extension: ".dat" was appended
  kRejected,  // any other extension, ".DAT" included
};

struct ArchiveNameChoice {
  ArchiveNameVerdict verdict = ArchiveNameVerdict::kRejected;
  std::string fileName;   // the name to keep: as returned, or with ".dat" appended
  std::string extension;  // the extension of the name as returned
};

ArchiveNameChoice ApplyArchiveNameRule(std::string_view returnedName);

}  // namespace torv
