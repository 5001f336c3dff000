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

TEST(QueryTextsTest, EventKinds) {
  Result<std::vector<EventKind>> kinds = ParseEventKinds("relay,input,other,damaged,device");
  ASSERT_TRUE(kinds.ok());
  EXPECT_EQ(*kinds, (std::vector<EventKind>{EventKind::kRelay, EventKind::kInput, EventKind::kOther,
                                            EventKind::kDamaged, EventKind::kDevice}));
  const auto reason = [](std::string_view text) {
    Result<std::vector<EventKind>> refused = ParseEventKinds(text);
    EXPECT_FALSE(refused.ok()) << text;
    return refused.ok() ? std::string() : refused.failure().reason;
  };
  EXPECT_EQ(reason("input,empty"),
            "unknown event kind \"empty\"; the kinds are input, device, relay, damaged, other");
  EXPECT_EQ(reason("input,"),
            "unknown event kind \"\"; the kinds are input, device, relay, damaged, other");
  EXPECT_EQ(reason("Input"),
            "unknown event kind \"Input\"; the kinds are input, device, relay, damaged, other");
  EXPECT_EQ(reason("relay,relay"), "the event kind \"relay\" is given twice");
}

}  // namespace
}  // namespace torv::history
