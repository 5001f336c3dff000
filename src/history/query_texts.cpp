#include "history/query_texts.h"

#include <string>

namespace torv::history {

Result<CalendarDate> ParseCalendarDate(std::string_view text) {
  const Failure wrong{"the date \"" + std::string(text) + "\" is not YYYY-MM-DD or DD.MM.YYYY"};
  if (text.size() != 10) return wrong;
  // Where year, month and day stand: YYYY-MM-DD as scripts write dates, or
  // DD.MM.YYYY as every listing shows them.
  const bool dotted = text[2] == '.' && text[5] == '.';
  if (!dotted && (text[4] != '-' || text[7] != '-')) return wrong;
  const std::size_t starts[3] = {dotted ? 6u : 0u, dotted ? 3u : 5u, dotted ? 0u : 8u};
  const std::size_t lengths[3] = {4, 2, 2};
  int values[3] = {0, 0, 0};
  for (int part = 0; part < 3; ++part) {
    for (std::size_t i = starts[part]; i < starts[part] + lengths[part]; ++i) {
      if (text[i] < '0' || text[i] > '9') return wrong;
      values[part] = values[part] * 10 + (text[i] - '0');
    }
  }
  const CalendarDate date{values[0], values[1], values[2]};
  if (!IsCalendarDate(date)) return wrong;
  return date;
}

bool IsCalendarDate(const CalendarDate& date) {
  static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (date.month < 1 || date.month > 12 || date.day < 1 || date.day > kDays[date.month - 1]) {
    return false;
  }
  const bool leap = (date.year % 4 == 0 && date.year % 100 != 0) || date.year % 400 == 0;
  return !(date.month == 2 && date.day == 29 && !leap);
}

}  // namespace torv::history
