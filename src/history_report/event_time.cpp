#include "history_report/event_time.h"

#include <cstdio>

#include "archive/record_kind.h"

namespace torv {

std::int64_t DaysFromCivil(int year, int month, int day) {
  // Howard Hinnant's days_from_civil.
  const std::int64_t y = year - (month <= 2 ? 1 : 0);
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yoe = y - era * 400;
  const std::int64_t doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

history::CalendarDate CivilFromDays(std::int64_t days) {
  days += 719468;
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const std::int64_t doe = days - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  const int year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
  return {year, month, day};
}

history::CalendarDate DateOfKey(std::int64_t key) {
  return {static_cast<int>(key / 10000), static_cast<int>(key / 100 % 100),
          static_cast<int>(key % 100)};
}

std::optional<std::int64_t> EventSeconds(const history::StoredEvent& event) {
  const ArchiveRecord& r = event.record;
  if (!event.year || KindOf(r) == EventKind::kDamaged || HasUnsetTime(r)) return std::nullopt;
  if (r.Month() < 1 || r.Month() > 12 || r.Day() < 1 || r.Day() > 31 || r.Hours() > 23 ||
      r.Minutes() > 59 || r.Seconds() > 59) {
    return std::nullopt;
  }
  return DaysFromCivil(*event.year, r.Month(), r.Day()) * 86400 + r.Hours() * 3600 +
         r.Minutes() * 60 + r.Seconds();
}

std::string ClockText(std::int64_t seconds) {
  const std::int64_t days = seconds >= 0 ? seconds / 86400 : (seconds - 86399) / 86400;
  const std::int64_t inDay = seconds - days * 86400;
  const history::CalendarDate date = CivilFromDays(days);
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", date.year, date.month, date.day,
                static_cast<int>(inDay / 3600), static_cast<int>(inDay / 60 % 60),
                static_cast<int>(inDay % 60));
  return text;
}

}  // namespace torv
