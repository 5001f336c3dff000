#include "history/archive_copy.h"

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <system_error>

#include "archive/archive_reader.h"
#include "archive/record_kind.h"
#include "archive/view_messages.h"
#include "history/genuine_copy.h"
#include "history/kept_copy.h"

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
  result.emptyArchive = read->image.writeOffset == kEmptyArchiveOffset;
  result.copy.records = RecordsOfImage(read->image);
  // Only a file of exactly this size is imported: its bytes are the image's.
  if (read->fileSize == static_cast<std::uint64_t>(kArchiveFileSize))
    result.copy.bytes = FileBytesOf(read->image);
  return result;
}

namespace {

// A file read for an import, or why it goes no further: a file that is no
// archive, or whose copy time cannot be right, is refused in the outcome;
// an empty archive has nothing to import.
struct PreparedCopy {
  std::optional<ArchiveCopy> copy;
  ImportOutcome outcome;  // when there is no copy to merge
};

Result<PreparedCopy> PrepareCopy(const std::string& path, const std::optional<CopyTime>& copiedAt,
                                 bool forcedDevice) {
  Result<ReadCopy> read = ReadArchiveCopy(path, copiedAt);
  if (!read) return read.failure();
  PreparedCopy prepared;
  if (const std::optional<std::string> reason =
          NotAnArchiveReason(read->fileSize, read->copy.records)) {
    prepared.outcome.refusal = NotAnArchiveRefusal(*reason);
    return prepared;
  }
  prepared.outcome.refusal = CopyTimeRefusal(read->copy.copiedAt, std::time(nullptr));
  if (prepared.outcome.refusal) return prepared;
  if (read->emptyArchive) {
    prepared.outcome.emptyArchive = true;
    return prepared;
  }
  read->copy.forcedDevice = forcedDevice;
  prepared.copy = std::move(read->copy);
  return prepared;
}

// The outcome of a merged copy, with the warning its dates give.
Result<ImportOutcome> Warned(Result<ImportOutcome> outcome, const ArchiveCopy& copy) {
  if (outcome && !outcome->refusal) outcome->warning = StaleCopyWarning(copy);
  return outcome;
}

}  // namespace

Result<ImportOutcome> ImportArchiveFile(HistoryStore& store, const std::string& device,
                                        const std::string& path,
                                        const std::optional<CopyTime>& copiedAt,
                                        bool forcedDevice) {
  if (device.empty()) return Failure{"the device name is empty"};
  Result<PreparedCopy> prepared = PrepareCopy(path, copiedAt, forcedDevice);
  if (!prepared) return prepared.failure();
  if (!prepared->copy) return prepared->outcome;
  return Warned(store.Import(device, *prepared->copy), *prepared->copy);
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

void ImportArchiveFiles(
    HistoryStore& store, const std::vector<FileToImport>& files,
    const std::optional<CopyTime>& copiedAt, bool forcedDevice,
    const std::function<bool(const std::string& path, const Result<ImportOutcome>&)>& done) {
  std::string device;  // of the copies waiting
  std::vector<std::string> pending;
  std::vector<ArchiveCopy> copies;
  bool goOn = true;
  const auto tell = [&](const std::string& path, const Result<ImportOutcome>& outcome) {
    if (goOn) goOn = done(path, outcome);
  };
  const auto commit = [&] {
    if (copies.empty()) return;
    Result<std::vector<ImportOutcome>> outcomes =
        goOn ? store.ImportAll(device, copies) : Failure{"not imported"};
    for (std::size_t i = 0; i < copies.size() && goOn; ++i) {
      // A group that failed (a copy of it refused, or the database) is
      // stored again one copy at a time, so that each file has its outcome.
      tell(pending[i], Warned(outcomes ? Result<ImportOutcome>((*outcomes)[i])
                                       : store.Import(device, copies[i]),
                              copies[i]));
    }
    pending.clear();
    copies.clear();
  };
  for (const FileToImport& file : files) {
    if (!goOn) break;
    Result<PreparedCopy> prepared = file.device.empty()
                                        ? Failure{"the device name is empty"}
                                        : PrepareCopy(file.path, copiedAt, forcedDevice);
    if (prepared && prepared->copy) {
      if (file.device != device) commit();
      device = file.device;
      pending.push_back(file.path);
      copies.push_back(std::move(*prepared->copy));
      if (copies.size() == kCopiesPerTransaction) commit();
      continue;
    }
    // Outcomes are told in the files' order.
    commit();
    tell(file.path, prepared ? Result<ImportOutcome>(prepared->outcome)
                             : Result<ImportOutcome>(prepared.failure()));
  }
  commit();
}

}  // namespace torv::history
