#include "archive/archive_summary.h"

#include "archive/event_table.h"

namespace torv {

ArchiveSummary SummarizeArchive(const ArchiveImage& image, std::uint64_t fileSize) {
  ArchiveSummary summary;
  summary.fileSize = fileSize;
  summary.writeOffset = image.writeOffset;
  if (image.writeOffset == kEmptyArchiveOffset) {
    summary.meaning = WriteOffsetMeaning::kEmptyArchive;
  } else if (!IsValidWriteOffset(image.writeOffset)) {
    summary.meaning = WriteOffsetMeaning::kDamaged;
  } else {
    summary.meaning = WriteOffsetMeaning::kNewestAndOldest;
    summary.newestOffset = NewestOffset(image.writeOffset);
    summary.oldestOffset = NormalizeRingOffset(image.writeOffset);
    summary.newestTimeDate = FormatTimeDate(image.RecordAt(summary.newestOffset));
    summary.oldestTimeDate = FormatTimeDate(image.RecordAt(summary.oldestOffset));
  }

  for (int offset = 0; offset < kRingSize; offset += kRecordSize) {
    const ArchiveRecord record = image.RecordAt(offset);
    if (record.IsDamaged()) {
      ++summary.damagedRecords;
      continue;
    }
    if (record.IsEmpty()) {
      ++summary.emptyRecords;
      continue;
    }
    ++summary.recordsPerCode[record.Code()];
    const int number = record.Number() + 1;
    switch (record.Code()) {
      case 0:
        ++summary.inputEvents[number].normal;
        break;
      case 1:
        ++summary.inputEvents[number].warning;
        break;
      case 2:
        ++summary.inputEvents[number].alarm;
        break;
      case 50:
        ++summary.relayEvents[number].off;
        break;
      case 51:
        ++summary.relayEvents[number].on;
        break;
      default:
        break;
    }
  }
  return summary;
}

}  // namespace torv
