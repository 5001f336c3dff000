#include "history_report/report_files.h"

#include <cstdio>

namespace torv {
namespace {

std::string IsoDate(const history::CalendarDate& date) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
  return text;
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

// Whether the days from `from` to `to` are whole months `months` long,
// starting on a month that is a multiple of `months` (counted from January).
bool WholeMonths(const history::CalendarDate& from, const history::CalendarDate& to, int months) {
  return from.year == to.year && from.day == 1 && (from.month - 1) % months == 0 &&
         to.month == from.month + months - 1 && to.day == DaysInMonth(to.year, to.month);
}

void ReplaceAll(std::string& text, std::string_view slot, std::string_view by) {
  for (std::size_t at = text.find(slot); at != std::string::npos;
       at = text.find(slot, at + by.size())) {
    text.replace(at, slot.size(), by);
  }
}

}  // namespace

std::string PeriodLabel(const std::optional<history::CalendarDate>& from,
                        const std::optional<history::CalendarDate>& to) {
  if (!from && !to) return "all";
  if (from && to) {
    char text[32];
    if (from->Key() == to->Key()) return IsoDate(*from);
    if (WholeMonths(*from, *to, 1)) {
      std::snprintf(text, sizeof text, "%04d-%02d", from->year, from->month);
      return text;
    }
    if (WholeMonths(*from, *to, 3)) {
      std::snprintf(text, sizeof text, "%04d-Q%d", from->year, (from->month - 1) / 3 + 1);
      return text;
    }
    if (WholeMonths(*from, *to, 12)) return std::to_string(from->year);
  }
  return (from ? IsoDate(*from) : "start") + "_" + (to ? IsoDate(*to) : "end");
}

std::string ReportFileName(std::string_view pattern, std::string_view device,
                           std::string_view periodLabel) {
  std::string safe(device);
  for (char& c : safe) {
    if (c == '/' || (static_cast<unsigned char>(c) < 0x20) || c == 0x7f) c = '_';
  }
  if (safe == "." || safe == "..") safe = "_" + safe;
  std::string name(pattern);
  ReplaceAll(name, kDeviceSlot, safe);
  ReplaceAll(name, kPeriodSlot, periodLabel);
  return name;
}

}  // namespace torv
