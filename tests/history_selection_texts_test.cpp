#include "history/selection_texts.h"

#include <gtest/gtest.h>

namespace torv::history {
namespace {

constexpr char kKinds[] = "input, alarm, warning, normal, device, relay, damaged, other";

TEST(SelectionTextsTest, EventKindsAndTypes) {
  Result<EventSelection> selection =
      ParseEventSelection("relay,input,alarm,other,damaged,normal,device,warning");
  ASSERT_TRUE(selection.ok());
  EXPECT_EQ(selection->kinds,
            (std::vector<EventKind>{EventKind::kRelay, EventKind::kInput, EventKind::kOther,
                                    EventKind::kDamaged, EventKind::kDevice}));
  EXPECT_EQ(selection->types,
            (std::vector<EventType>{EventType::kAlarm, EventType::kNormal, EventType::kWarning}));
  const auto reason = [](std::string_view text) {
    Result<EventSelection> refused = ParseEventSelection(text);
    EXPECT_FALSE(refused.ok()) << text;
    return refused.ok() ? std::string() : refused.failure().reason;
  };
  EXPECT_EQ(reason("input,empty"),
            std::string("unknown event kind \"empty\"; the kinds are ") + kKinds);
  EXPECT_EQ(reason("input,"), std::string("unknown event kind \"\"; the kinds are ") + kKinds);
  EXPECT_EQ(reason("Input"), std::string("unknown event kind \"Input\"; the kinds are ") + kKinds);
  EXPECT_EQ(reason("alarms"),
            std::string("unknown event kind \"alarms\"; the kinds are ") + kKinds);
  EXPECT_EQ(reason("relay,relay"), "the event kind \"relay\" is given twice");
  EXPECT_EQ(reason("alarm,input,alarm"), "the event kind \"alarm\" is given twice");
}

struct ListCase {
  const char* text;
  std::vector<int> numbers;  // empty: refused with `reason`
  const char* reason;
  const char* shown;  // NumberListText of the numbers
};

TEST(SelectionTextsTest, NumberLists) {
  const ListCase cases[] = {
      {"3", {3}, "", "3"},
      {"3,7,12-15", {3, 7, 12, 13, 14, 15}, "", "3, 7, 12–15"},
      {"15-12", {}, "\"15-12\" is not a number N or a range N-M", ""},
      {"7,3,7,4", {3, 4, 7}, "", "3, 4, 7"},
      {"1-3,2-5", {1, 2, 3, 4, 5}, "", "1–5"},
      {"256", {256}, "", "256"},
      {"0", {}, "\"0\" is not within 1 to 256", ""},
      {"250-257", {}, "\"250-257\" is not within 1 to 256", ""},
      {"", {}, "\"\" is not a number N or a range N-M", ""},
      {"3,", {}, "\"\" is not a number N or a range N-M", ""},
      {"3-", {}, "\"3-\" is not a number N or a range N-M", ""},
      {"-3", {}, "\"-3\" is not a number N or a range N-M", ""},
      {" 3", {}, "\" 3\" is not a number N or a range N-M", ""},
      {"3x", {}, "\"3x\" is not a number N or a range N-M", ""},
      {"1-2-3", {}, "\"1-2-3\" is not a number N or a range N-M", ""},
  };
  for (const ListCase& c : cases) {
    SCOPED_TRACE(c.text);
    Result<std::vector<int>> numbers = ParseNumberList(c.text, 1, 256);
    if (c.numbers.empty()) {
      ASSERT_FALSE(numbers.ok());
      EXPECT_EQ(numbers.failure().reason, c.reason);
      continue;
    }
    ASSERT_TRUE(numbers.ok()) << numbers.failure().reason;
    EXPECT_EQ(*numbers, c.numbers);
    EXPECT_EQ(NumberListText(*numbers), c.shown);
  }
}

}  // namespace
}  // namespace torv::history
