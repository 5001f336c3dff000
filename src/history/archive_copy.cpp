#include "history/archive_copy.h"

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <system_error>

#include "archive/archive_reader.h"
#include "archive/record_kind.h"
#include "archive/view_messages.h"
#include "history/genuine_copy.h"

namespace torv::history {
namespace {

struct ReadImage {
  ArchiveImage image;
  std::int64_t modifiedUnixSeconds = 0;
  std::uint64_t fileSize = 0;
};

// The one place that reads an archive file for the history, with the view
// request's refusals.
Result<ReadImage> ReadImageLikeAView(const std::string& path) {
  Result<ArchiveFileContents> contents = ReadArchiveContents(path);
  if (!contents) return Failure{std::string(kCannotOpenMessage), contents.failure().errorNumber};
  if (!IsValidWriteOffset(contents->image.writeOffset)) {
    return Failure{std::string(kDamagedArchiveMessage)};
  }
  return ReadImage{contents->image, contents->modifiedUnixSeconds, contents->fileSize};
}

}  // namespace

bool IsArchiveFileFailure(const Failure& failure) {
  return failure.reason == kCannotOpenMessage || failure.reason == kDamagedArchiveMessage;
}

CopyTime CopyTimeAt(std::int64_t unixSeconds) {
  const std::time_t time = static_cast<std::time_t>(unixSeconds);
  std::tm local{};
  localtime_r(&time, &local);
  return CopyTime{unixSeconds, local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

Result<CopyTime> ParseCopiedAt(std::string_view text) {
  const Failure wrong{"the copy time \"" + std::string(text) + "\" is not YYYY-MM-DDTHH:MM:SS"};
  if (text.size() != 19) return wrong;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char expected = i == 4 || i == 7 ? '-' : i == 10 ? 'T' : i == 13 || i == 16 ? ':' : '0';
    if (expected == '0' ? (text[i] < '0' || text[i] > '9') : text[i] != expected) return wrong;
  }
  const auto number = [&](std::size_t at, std::size_t digits) {
    int value = 0;
    for (std::size_t i = at; i < at + digits; ++i) value = value * 10 + (text[i] - '0');
    return value;
  };
  std::tm local{};
  local.tm_year = number(0, 4) - 1900;
  local.tm_mon = number(5, 2) - 1;
  local.tm_mday = number(8, 2);
  local.tm_hour = number(11, 2);
  local.tm_min = number(14, 2);
  local.tm_sec = number(17, 2);
  local.tm_isdst = -1;
  std::tm asked = local;
  const std::time_t time = std::mktime(&local);
  // mktime moves an impossible date (31 February) to another day: refuse it.
  if (time == static_cast<std::time_t>(-1) || local.tm_mday != asked.tm_mday ||
      local.tm_mon != asked.tm_mon || local.tm_year != asked.tm_year || asked.tm_hour > 23 ||
      asked.tm_min > 59 || asked.tm_sec > 59) {
    return wrong;
  }
  return CopyTime{static_cast<std::int64_t>(time), asked.tm_year + 1900, asked.tm_mon + 1,
                  asked.tm_mday};
}

Result<ReadCopy> ReadArchiveCopy(const std::string& path, const std::optional<CopyTime>& copiedAt) {
  Result<ReadImage> read = ReadImageLikeAView(path);
  if (!read) return read.failure();
  ReadCopy result;
  result.copy.source = path;
  result.copy.copiedAt = copiedAt ? *copiedAt : CopyTimeAt(read->modifiedUnixSeconds);
  result.fileSize = read->fileSize;
  const std::int32_t writeOffset = read->image.writeOffset;
  if (writeOffset == kEmptyArchiveOffset) {
    result.emptyArchive = true;
    return result;
  }
  // The oldest record lies at WriteOffset itself; walk the whole ring forward.
  int offset = RecordForward(NewestOffset(writeOffset));
  for (int i = 0; i < kRecordCount; ++i, offset = RecordForward(offset)) {
    const ArchiveRecord record = read->image.RecordAt(offset);
    if (KindOf(record) != EventKind::kEmpty) result.copy.records.push_back(record);
  }
  return result;
}

Result<ImportOutcome> ImportArchiveFile(HistoryStore& store, const std::string& device,
                                        const std::string& path,
                                        const std::optional<CopyTime>& copiedAt,
                                        bool forcedDevice) {
  if (device.empty()) return Failure{"the device name is empty"};
  Result<ReadCopy> read = ReadArchiveCopy(path, copiedAt);
  if (!read) return read.failure();
  read->copy.forcedDevice = forcedDevice;
  ImportOutcome refused;
  if (const std::optional<std::string> reason =
          NotAnArchiveReason(read->fileSize, read->copy.records)) {
    refused.refusal = NotAnArchiveRefusal(*reason);
    return refused;
  }
  refused.refusal = CopyTimeRefusal(read->copy.copiedAt, std::time(nullptr));
  if (refused.refusal) return refused;
  if (read->emptyArchive) {
    ImportOutcome outcome;
    outcome.emptyArchive = true;
    return outcome;
  }
  Result<ImportOutcome> outcome = store.Import(device, read->copy);
  if (outcome && !outcome->refusal) outcome->warning = StaleCopyWarning(read->copy);
  return outcome;
}

Status StoreStillThere(HistoryStore& store, const StoreLocation& location, bool afterStoreFailure) {
  std::error_code error;
  if (location.kind == StoreKind::kSqlite && !std::filesystem::exists(location.target, error)) {
    return Failure{"the store's file is gone"};
  }
  if (!afterStoreFailure) return {};
  // The lightest read a store offers.
  Result<std::vector<NameEntry>> names = store.Names();
  if (!names) return names.failure();
  return {};
}

}  // namespace torv::history
