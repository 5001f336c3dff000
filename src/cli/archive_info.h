// What `info` writes about an archive: its size, its WriteOffset and what
// that points at (the newest record, and the oldest written one), and the
// counts of its records. A record's time and date read as the table and the
// exports show them: a day and month both 255 are no date and left out.
#pragma once

#include <string>
#include <vector>

#include "archive/archive_summary.h"

namespace torv {

struct SummarizedArchive {
  std::string name;  // as the summary names the file
  ArchiveSummary summary;
};

// One block of lines per archive for a person, an empty line between two;
// event texts without their padding spaces.
std::string ArchiveInfoText(const std::vector<SummarizedArchive>& archives);
// A list of JSON objects, or with `list` false the one object; event texts
// exactly as the table shows them.
std::string ArchiveInfoJson(const std::vector<SummarizedArchive>& archives, bool list);

}  // namespace torv
