// What an archive holds, counted: for the command-line tool's "info".
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "archive/archive_format.h"

namespace torv {

enum class WriteOffsetMeaning {
  kEmptyArchive,  // 255: the device has written nothing
  kDamaged,       // not a slot of the ring: no record can be located
  kNewestAndOldest,
};

struct InputEventCounts {
  int normal = 0;
  int warning = 0;
  int alarm = 0;
};

struct RelayEventCounts {
  int off = 0;
  int on = 0;
};

struct ArchiveSummary {
  std::uint64_t fileSize = 0;
  std::int32_t writeOffset = 0;
  WriteOffsetMeaning meaning = WriteOffsetMeaning::kDamaged;
  // Valid only for kNewestAndOldest.
  int newestOffset = 0;
  int oldestOffset = 0;
  std::string newestTimeDate;
  std::string oldestTimeDate;

  int emptyRecords = 0;
  int damagedRecords = 0;
  // Records that are neither empty nor damaged, by event code.
  std::map<int, int> recordsPerCode;
  std::map<int, InputEventCounts> inputEvents;  // by input number, 1-based
  std::map<int, RelayEventCounts> relayEvents;  // by relay number, 1-based

  bool IsShort() const { return fileSize < static_cast<std::uint64_t>(kArchiveFileSize); }
  bool IsLong() const { return fileSize > static_cast<std::uint64_t>(kArchiveFileSize); }
};

// Counts every one of the 1024 slots, written or not.
ArchiveSummary SummarizeArchive(const ArchiveImage& image, std::uint64_t fileSize);

}  // namespace torv
