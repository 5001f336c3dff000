#include "history/query_texts.h"

#include <gtest/gtest.h>

#include "history/calendar_period.h"

namespace torv::history {
namespace {

TEST(QueryTextsTest, CalendarDates) {
  for (const char* good : {"2024-02-29", "29.02.2024"}) {
    Result<CalendarDate> date = ParseCalendarDate(good);
    ASSERT_TRUE(date.ok()) << good;
    EXPECT_EQ(date->Key(), 20240229);
  }
  for (const char* bad : {"2023-02-29", "2024-13-01", "2024-04-31", "2024-00-10", "2024-1-10",
                          "24-01-10", "2024/01/10", "2024-01-1x", "", "29.02.2023", "1.03.2024",
                          "01.13.2024", "01-03-2024", "01.03.24", "2024.03.01"}) {
    Result<CalendarDate> refused = ParseCalendarDate(bad);
    ASSERT_FALSE(refused.ok()) << bad;
    EXPECT_EQ(refused.failure().reason,
              std::string("the date \"") + bad + "\" is not YYYY-MM-DD or DD.MM.YYYY");
  }
}

// Each period name on a few todays: a Monday and a Sunday, across a year's
// end, in a leap February, and on the days clocks change in Europe (the
// period is a span of calendar days, so the hour lost or won changes nothing).
TEST(QueryTextsTest, CalendarPeriods) {
  struct Case {
    const char* today;
    const char* period;
    const char* from;
    const char* to;
  };
  const Case cases[] = {
      {"2026-12-09", "2026-03", "2026-03-01", "2026-03-31"},
      {"2026-12-09", "02.2024", "2024-02-01", "2024-02-29"},
      {"2026-12-09", "2026-Q1", "2026-01-01", "2026-03-31"},
      {"2026-12-09", "2025-q4", "2025-10-01", "2025-12-31"},
      {"2026-12-09", "2026", "2026-01-01", "2026-12-31"},
      {"2026-12-09", "today", "2026-12-09", "2026-12-09"},
      {"2026-01-01", "yesterday", "2025-12-31", "2025-12-31"},
      {"2026-12-09", "this-week", "2026-12-07", "2026-12-13"},  // a Wednesday
      {"2026-12-07", "this-week", "2026-12-07", "2026-12-13"},  // a Monday
      {"2026-12-13", "this-week", "2026-12-07", "2026-12-13"},  // a Sunday
      {"2026-01-02", "last-week", "2025-12-22", "2025-12-28"},
      {"2026-03-29", "last-week", "2026-03-16", "2026-03-22"},  // clocks forward
      {"2026-10-25", "this-week", "2026-10-19", "2026-10-25"},  // clocks back
      {"2026-12-09", "this-month", "2026-12-01", "2026-12-31"},
      {"2026-01-15", "last-month", "2025-12-01", "2025-12-31"},
      {"2024-03-31", "last-month", "2024-02-01", "2024-02-29"},
      {"2026-12-09", "this-quarter", "2026-10-01", "2026-12-31"},
      {"2026-02-10", "last-quarter", "2025-10-01", "2025-12-31"},
      {"2026-08-31", "last-quarter", "2026-04-01", "2026-06-30"},
      {"2026-12-31", "this-year", "2026-01-01", "2026-12-31"},
      {"2026-01-01", "last-year", "2025-01-01", "2025-12-31"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.today) + " " + c.period);
    const Result<CalendarPeriod> period =
        ParseCalendarPeriod(c.period, *ParseCalendarDate(c.today));
    ASSERT_TRUE(period.ok()) << period.failure().reason;
    EXPECT_EQ(period->from.Key(), ParseCalendarDate(c.from)->Key());
    EXPECT_EQ(period->to.Key(), ParseCalendarDate(c.to)->Key());
  }
  for (const char* bad : {"2026-13", "13.2026", "2026-Q5", "2026-Q0", "0000", "26", "Today",
                          "last_month", "2026-3", "", "2026-03-01"}) {
    const Result<CalendarPeriod> refused = ParseCalendarPeriod(bad, CalendarDate{2026, 12, 9});
    ASSERT_FALSE(refused.ok()) << bad;
    EXPECT_EQ(refused.failure().reason, std::string("the period \"") + bad + "\" is none of " +
                                            std::string(kCalendarPeriodNames));
  }
}

}  // namespace
}  // namespace torv::history
