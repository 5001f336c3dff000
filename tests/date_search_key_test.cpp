#include "ui/date_search_key.h"

#include <gtest/gtest.h>

namespace torv {
namespace {

TEST(SearchDateKeyForTest, JoinsTwoDigitDayAndMonthWithADot) {
  EXPECT_EQ(SearchDateKeyFor(5, 3), "05.03");
  EXPECT_EQ(SearchDateKeyFor(31, 12), "31.12");
  EXPECT_EQ(SearchDateKeyFor(1, 10), "01.10");
}

}  // namespace
}  // namespace torv
