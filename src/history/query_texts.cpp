#include "history/query_texts.h"

#include <string>

namespace torv::history {

Result<CalendarDate> ParseCalendarDate(std::string_view text) {
  const Failure wrong{"the date \"" + std::string(text) + "\" is not YYYY-MM-DD"};
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return wrong;
  int values[3] = {0, 0, 0};
  const std::size_t starts[3] = {0, 5, 8};
  const std::size_t lengths[3] = {4, 2, 2};
  for (int part = 0; part < 3; ++part) {
    for (std::size_t i = starts[part]; i < starts[part] + lengths[part]; ++i) {
      if (text[i] < '0' || text[i] > '9') return wrong;
      values[part] = values[part] * 10 + (text[i] - '0');
    }
  }
  const CalendarDate date{values[0], values[1], values[2]};
  static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (date.month < 1 || date.month > 12 || date.day < 1 || date.day > kDays[date.month - 1]) {
    return wrong;
  }
  const bool leap = (date.year % 4 == 0 && date.year % 100 != 0) || date.year % 400 == 0;
  if (date.month == 2 && date.day == 29 && !leap) return wrong;
  return date;
}

}  // namespace torv::history
