#include "history/year_rule.h"

namespace torv::history {

bool HasDatableDate(const ArchiveRecord& record) {
  if (record.IsDamaged()) return false;
  return record.Month() >= 1 && record.Month() <= 12 && record.Day() >= 1 && record.Day() <= 31;
}

std::vector<std::optional<int>> YearsOf(const std::vector<ArchiveRecord>& records,
                                        const CopyTime& copiedAt) {
  std::vector<std::optional<int>> years(records.size());
  int year = copiedAt.year;
  std::optional<int> newerMonth;  // month of the last datable record walked
  for (std::size_t i = records.size(); i-- > 0;) {
    const ArchiveRecord& record = records[i];
    if (!HasDatableDate(record)) continue;
    const int month = record.Month();
    if (!newerMonth) {
      const bool afterCopyDate =
          month > copiedAt.month || (month == copiedAt.month && record.Day() > copiedAt.day);
      if (afterCopyDate) --year;
    } else if (month > *newerMonth) {
      --year;
    }
    newerMonth = month;
    years[i] = year;
  }
  return years;
}

}  // namespace torv::history
