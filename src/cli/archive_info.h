// What `info` writes about an archive: its size, its WriteOffset and what
// that points at, and the counts of its records.
#pragma once

#include <string>

#include "archive/archive_summary.h"

namespace torv {

// Lines for a person; event texts without their padding spaces.
std::string ArchiveInfoText(const ArchiveSummary& summary, const std::string& archiveName);

// One JSON object; event texts exactly as the table shows them.
std::string ArchiveInfoJson(const ArchiveSummary& summary, const std::string& archiveName);

}  // namespace torv
