// Periods as the operators name them in reports: a month, a quarter, a year,
// or one relative to today (last month, this week...). Weeks run Monday to
// Sunday; every period is a span of whole days in local time.
#pragma once

#include <string>
#include <string_view>

#include "archive/result.h"
#include "history/history_model.h"

namespace torv::history {

struct CalendarPeriod {
  CalendarDate from;  // the first day
  CalendarDate to;    // the last day
};

// "2026-03", "03.2026", "2026-Q1", "2026", "today", "yesterday", "this-week",
// "last-week", "this-month", "last-month", "this-quarter", "last-quarter",
// "this-year", "last-year"; relative names count from `today`.
Result<CalendarPeriod> ParseCalendarPeriod(std::string_view text, const CalendarDate& today);

// The names ParseCalendarPeriod knows, for help texts.
inline constexpr std::string_view kCalendarPeriodNames =
    "YYYY-MM, MM.YYYY, YYYY-QN, YYYY, today, yesterday, this-week, last-week, this-month, "
    "last-month, this-quarter, last-quarter, this-year, last-year";

// Today's date in local time.
CalendarDate LocalToday();

}  // namespace torv::history
