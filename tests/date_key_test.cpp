#include "archive/date_key.h"

#include <gtest/gtest.h>

namespace torv {
namespace {

TEST(SearchDateKeyForTest, JoinsTwoDigitDayAndMonthWithADot) {
  EXPECT_EQ(SearchDateKeyFor(5, 3), "05.03");
  EXPECT_EQ(SearchDateKeyFor(31, 12), "31.12");
  EXPECT_EQ(SearchDateKeyFor(1, 10), "01.10");
}

TEST(DateKeyTest, AWholeKeyHasFiveCharactersNotBytes) {
  EXPECT_TRUE(IsWholeDateKey("05.03"));
  EXPECT_TRUE(IsWholeDateKey("05.03.2026"));
  EXPECT_FALSE(IsWholeDateKey("5.03"));
  EXPECT_FALSE(IsWholeDateKey(""));
  // Four Cyrillic letters are eight bytes but four characters.
  EXPECT_FALSE(IsWholeDateKey("дата"));
  EXPECT_TRUE(IsWholeDateKey("дата."));
}

TEST(DateKeyTest, OnlyTheFirstFiveCharactersAreCompared) {
  EXPECT_EQ(ComparedDateKey("05.03"), "05.03");
  EXPECT_EQ(ComparedDateKey("05.03.2026"), "05.03");
  EXPECT_EQ(ComparedDateKey("05/03"), "05/03");
  EXPECT_EQ(ComparedDateKey("дд.ммгг"), "дд.мм");
  EXPECT_EQ(ComparedDateKey("1.2"), "1.2");
}

}  // namespace
}  // namespace torv
