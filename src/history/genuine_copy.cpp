#include "history/genuine_copy.h"

#include <cstdio>
#include <ctime>

#include "archive/record_kind.h"
#include "history/year_rule.h"

namespace torv::history {
namespace {

constexpr int kFirstCopyYear = 1990;
constexpr std::int64_t kDaySeconds = 24 * 60 * 60;
constexpr std::int64_t kStaleDays = 180;

// A written record whose clock fields could have come from the device. An
// unset time or date (255) is the device's own way of writing none.
bool HasPossibleTime(const ArchiveRecord& record) {
  const bool timeSet = !HasUnsetTime(record);
  if (timeSet && (record.Hours() > 23 || record.Minutes() > 59 || record.Seconds() > 59)) {
    return false;
  }
  if (record.HasNoDate()) return true;
  return record.Day() >= 1 && record.Day() <= 31 && record.Month() >= 1 && record.Month() <= 12;
}

// Days since the epoch of a calendar date.
std::int64_t DayNumber(int year, int month, int day) {
  std::tm date{};
  date.tm_year = year - 1900;
  date.tm_mon = month - 1;
  date.tm_mday = day;
  return static_cast<std::int64_t>(timegm(&date)) / kDaySeconds;
}

}  // namespace

std::string DayText(int day, int month, int year) {
  char text[32];
  std::snprintf(text, sizeof text, "%02d.%02d.%04d", day, month, year);
  return text;
}

std::optional<std::string> NotAnArchiveReason(std::uint64_t fileSize,
                                              const std::vector<ArchiveRecord>& records) {
  if (fileSize != static_cast<std::uint64_t>(kArchiveFileSize)) {
    return "размер " + std::to_string(fileSize) + " байт, а не " + std::to_string(kArchiveFileSize);
  }
  int written = 0;
  int impossible = 0;
  for (const ArchiveRecord& record : records) {
    if (record.IsDamaged() || KindOf(record) == EventKind::kEmpty) continue;
    ++written;
    if (!HasPossibleTime(record)) ++impossible;
  }
  if (impossible * 2 > written) {
    return std::to_string(impossible) + " из " + std::to_string(written) +
           " записей с невозможным временем или датой";
  }
  return std::nullopt;
}

std::string NotAnArchiveRefusal(const std::string& reason) {
  return "не архив ТОРВ-4 (" + reason + ")";
}

std::optional<std::string> CopyTimeRefusal(const CopyTime& copiedAt, std::int64_t nowUnixSeconds) {
  const std::string when = DayText(copiedAt.day, copiedAt.month, copiedAt.year);
  if (copiedAt.year < kFirstCopyYear) {
    return "время копии " + when + " раньше " + std::to_string(kFirstCopyYear) +
           " года; проверьте --copied-at";
  }
  if (copiedAt.unixSeconds > nowUnixSeconds + kDaySeconds) {
    return "время копии " + when + " больше чем на сутки впереди; проверьте --copied-at";
  }
  return std::nullopt;
}

std::optional<std::string> StaleCopyWarning(const ArchiveCopy& copy) {
  const std::vector<std::optional<int>> years = YearsOf(copy.records, copy.copiedAt);
  for (std::size_t i = copy.records.size(); i-- > 0;) {
    if (!years[i]) continue;
    const ArchiveRecord& newest = copy.records[i];
    const std::int64_t age = DayNumber(copy.copiedAt.year, copy.copiedAt.month, copy.copiedAt.day) -
                             DayNumber(*years[i], newest.Month(), newest.Day());
    if (age <= kStaleDays) return std::nullopt;
    return "самая новая запись датирована " + DayText(newest.Day(), newest.Month(), *years[i]) +
           ", за " + std::to_string(age) + " дней до времени копии " +
           DayText(copy.copiedAt.day, copy.copiedAt.month, copy.copiedAt.year) +
           "; проверьте --copied-at";
  }
  return std::nullopt;
}

}  // namespace torv::history
