#include "history/query_texts.h"

#include <gtest/gtest.h>

namespace torv::history {
namespace {

TEST(QueryTextsTest, CalendarDates) {
  Result<CalendarDate> date = ParseCalendarDate("2024-02-29");
  ASSERT_TRUE(date.ok());
  EXPECT_EQ(date->Key(), 20240229);
  for (const char* bad : {"2023-02-29", "2024-13-01", "2024-04-31", "2024-00-10", "2024-1-10",
                          "24-01-10", "2024/01/10", "2024-01-1x", ""}) {
    Result<CalendarDate> refused = ParseCalendarDate(bad);
    ASSERT_FALSE(refused.ok()) << bad;
    EXPECT_EQ(refused.failure().reason, std::string("the date \"") + bad + "\" is not YYYY-MM-DD");
  }
}

}  // namespace
}  // namespace torv::history
