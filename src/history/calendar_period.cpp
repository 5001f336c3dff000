#include "history/calendar_period.h"

#include <chrono>
#include <ctime>
#include <optional>

#include "history/query_texts.h"

namespace torv::history {
namespace {

namespace chrono = std::chrono;

chrono::year_month_day AsYmd(const CalendarDate& date) {
  return chrono::year{date.year} / chrono::month{static_cast<unsigned>(date.month)} /
         chrono::day{static_cast<unsigned>(date.day)};
}

CalendarDate AsDate(const chrono::year_month_day& date) {
  return {static_cast<int>(date.year()), static_cast<int>(static_cast<unsigned>(date.month())),
          static_cast<int>(static_cast<unsigned>(date.day()))};
}

CalendarDate DaysAfter(const CalendarDate& date, int days) {
  return AsDate(chrono::year_month_day{chrono::sys_days{AsYmd(date)} + chrono::days{days}});
}

CalendarPeriod Months(int year, int firstMonth, int count) {
  const chrono::year_month first =
      chrono::year{year} / chrono::month{static_cast<unsigned>(firstMonth)};
  const chrono::year_month last = first + chrono::months{count - 1};
  return {AsDate(first / chrono::day{1}), AsDate(chrono::year_month_day{last / chrono::last})};
}

// The digits of `text` as a number, when it is all digits and not empty.
std::optional<int> Digits(std::string_view text) {
  if (text.empty() || text.size() > 4) return std::nullopt;
  int value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

// A year of four digits the listings can show.
std::optional<int> Year(std::string_view text) {
  const std::optional<int> year = Digits(text);
  if (text.size() != 4 || !year || *year < 1) return std::nullopt;
  return year;
}

std::optional<CalendarPeriod> Named(std::string_view text, const CalendarDate& today) {
  const int monthIndex = today.year * 12 + today.month - 1;
  const auto month = [](int index) { return Months(index / 12, index % 12 + 1, 1); };
  const int quarterStart = today.month - (today.month - 1) % 3;
  const auto quarter = [](int year, int firstMonth) { return Months(year, firstMonth, 3); };
  // Monday of this week: chrono's weekday counts Sunday as 0.
  const unsigned weekday = chrono::weekday{chrono::sys_days{AsYmd(today)}}.iso_encoding();
  const CalendarDate monday = DaysAfter(today, -static_cast<int>(weekday - 1));
  if (text == "today") return CalendarPeriod{today, today};
  if (text == "yesterday") return CalendarPeriod{DaysAfter(today, -1), DaysAfter(today, -1)};
  if (text == "this-week") return CalendarPeriod{monday, DaysAfter(monday, 6)};
  if (text == "last-week") return CalendarPeriod{DaysAfter(monday, -7), DaysAfter(monday, -1)};
  if (text == "this-month") return month(monthIndex);
  if (text == "last-month") return month(monthIndex - 1);
  if (text == "this-quarter") return quarter(today.year, quarterStart);
  if (text == "last-quarter") {
    return quarterStart == 1 ? quarter(today.year - 1, 10) : quarter(today.year, quarterStart - 3);
  }
  if (text == "this-year") return Months(today.year, 1, 12);
  if (text == "last-year") return Months(today.year - 1, 1, 12);
  return std::nullopt;
}

}  // namespace

Result<CalendarPeriod> ParseCalendarPeriod(std::string_view text, const CalendarDate& today) {
  if (std::optional<CalendarPeriod> named = Named(text, today)) return *named;
  if (const std::optional<int> year = Year(text)) return Months(*year, 1, 12);
  std::optional<int> year;
  std::optional<int> month;
  if (text.size() == 7 && text[4] == '-' && (text[5] == 'Q' || text[5] == 'q')) {
    const std::optional<int> quarter = Digits(text.substr(6));
    year = Year(text.substr(0, 4));
    if (year && quarter && *quarter >= 1 && *quarter <= 4) {
      return Months(*year, (*quarter - 1) * 3 + 1, 3);
    }
  } else if (text.size() == 7 && text[4] == '-') {
    year = Year(text.substr(0, 4));
    month = Digits(text.substr(5));
  } else if (text.size() == 7 && text[2] == '.') {
    year = Year(text.substr(3));
    month = Digits(text.substr(0, 2));
  }
  if (year && month && *month >= 1 && *month <= 12) return Months(*year, *month, 1);
  return Failure{"the period \"" + std::string(text) + "\" is none of " +
                 std::string(kCalendarPeriodNames)};
}

CalendarDate LocalToday() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

}  // namespace torv::history
