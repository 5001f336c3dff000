#include "archive/archive_summary.h"

#include "archive/event_table.h"
#include "archive/record_kind.h"

namespace torv {
namespace {

void CountInputEvent(const ArchiveRecord& record, InputEventCounts& counts) {
  switch (record.Code()) {
    case kNormalCode:
      ++counts.normal;
      break;
    case kWarningCode:
      ++counts.warning;
      break;
    case kAlarmCode:
      ++counts.alarm;
      break;
  }
}

void CountRelayEvent(const ArchiveRecord& record, RelayEventCounts& counts) {
  ++(record.Code() == kRelayOffCode ? counts.off : counts.on);
}

}  // namespace

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
    switch (KindOf(record)) {
      case EventKind::kDamaged:
        ++summary.damagedRecords;
        continue;
      case EventKind::kEmpty:
        ++summary.emptyRecords;
        continue;
      case EventKind::kInput:
        CountInputEvent(record, summary.inputEvents[NumberBehindByte1(record)]);
        break;
      case EventKind::kRelay:
        CountRelayEvent(record, summary.relayEvents[NumberBehindByte1(record)]);
        break;
      case EventKind::kDevice:
      case EventKind::kOther:
        break;
    }
    ++summary.recordsPerCode[record.Code()];
  }
  return summary;
}

}  // namespace torv
