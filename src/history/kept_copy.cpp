#include "history/kept_copy.h"

#include <ctime>

#include "archive/record_kind.h"
#include "history/sha256_stream.h"

namespace torv::history {

std::vector<ArchiveRecord> RecordsOfImage(const ArchiveImage& image) {
  std::vector<ArchiveRecord> records;
  if (image.writeOffset == kEmptyArchiveOffset) return records;
  // The oldest record lies at WriteOffset itself; walk the whole ring forward.
  int offset = RecordForward(NewestOffset(image.writeOffset));
  for (int i = 0; i < kRecordCount; ++i, offset = RecordForward(offset)) {
    const ArchiveRecord record = image.RecordAt(offset);
    if (KindOf(record) != EventKind::kEmpty) records.push_back(record);
  }
  return records;
}

std::string Sha256Hex(const std::vector<std::uint8_t>& bytes) {
  Sha256Stream stream;
  stream.Add(bytes.data(), bytes.size());
  return stream.Hex();
}

ArchiveCopy CopyOfKeptBytes(std::vector<std::uint8_t> bytes, const CopyTime& copiedAt,
                            std::string source, bool forcedDevice) {
  ArchiveCopy copy;
  copy.records = RecordsOfImage(ImageFromBytes(bytes));
  copy.copiedAt = copiedAt;
  copy.source = std::move(source);
  copy.bytes = std::move(bytes);
  copy.forcedDevice = forcedDevice;
  return copy;
}

std::int64_t CopyDayKey(const CopyTime& copiedAt) {
  return copiedAt.year * 10000LL + copiedAt.month * 100LL + copiedAt.day;
}

CopyTime CopyTimeOfKept(std::int64_t unixSeconds, std::int64_t dayKey) {
  return CopyTime{unixSeconds, static_cast<int>(dayKey / 10000),
                  static_cast<int>(dayKey / 100 % 100), static_cast<int>(dayKey % 100)};
}

}  // namespace torv::history

namespace torv::history {

std::string AlreadyImportedText(const KeptCopy& stored, bool otherDevice) {
  const std::time_t at = static_cast<std::time_t>(stored.importedAt);
  std::tm local{};
  localtime_r(&at, &local);
  char when[32];
  std::strftime(when, sizeof when, "%d.%m.%Y %H:%M", &local);
  const std::string copy = std::string(when) + " (копия " + std::to_string(stored.id) + ")";
  if (!otherDevice) return "уже импортирован " + copy;
  return "уже импортирован для устройства " + stored.device + " " + copy +
         ": копия другого устройства?";
}

}  // namespace torv::history
