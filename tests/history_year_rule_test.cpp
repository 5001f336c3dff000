#include "history/year_rule.h"

#include <gtest/gtest.h>

#include "archive/sample_archive.h"

namespace torv::history {
namespace {

ArchiveRecord On(int day, int month) {
  return MakeRecord(3, 0, 12, 0, 0, static_cast<std::uint8_t>(day),
                    static_cast<std::uint8_t>(month));
}
ArchiveRecord Damaged(int day, int month) {
  return MakeRecord(255, 0, 12, 0, 0, static_cast<std::uint8_t>(day),
                    static_cast<std::uint8_t>(month));
}
constexpr CopyTime kCopiedOn15March2025{0, 2025, 3, 15};
using Years = std::vector<std::optional<int>>;

TEST(YearRuleTest, TheNewestRecordTakesTheCopysYear) {
  EXPECT_EQ(YearsOf({On(1, 3), On(15, 3)}, kCopiedOn15March2025), (Years{2025, 2025}));
}

TEST(YearRuleTest, ANewestRecordAfterTheCopysDayIsFromTheYearBefore) {
  EXPECT_EQ(YearsOf({On(16, 3)}, kCopiedOn15March2025), (Years{2024}));
  EXPECT_EQ(YearsOf({On(1, 4)}, kCopiedOn15March2025), (Years{2024}));
}

TEST(YearRuleTest, TheYearDropsWhereTheMonthRisesGoingBack) {
  EXPECT_EQ(YearsOf({On(20, 11), On(31, 12), On(1, 1), On(2, 2)}, kCopiedOn15March2025),
            (Years{2024, 2024, 2025, 2025}));
}

TEST(YearRuleTest, ALaterDayOfTheSameMonthGoingBackKeepsTheYear) {
  // Only a rising month moves the year: 20 January before 5 January stays.
  EXPECT_EQ(YearsOf({On(20, 1), On(5, 1)}, kCopiedOn15March2025), (Years{2025, 2025}));
}

TEST(YearRuleTest, UndatableRecordsGetNoYearAndDoNotMoveIt) {
  const std::vector<ArchiveRecord> records{
      On(31, 12),     // before the January record: 2024
      On(0, 5),       // day 0
      On(7, 0),       // month 0
      On(32, 1),      // day out of range
      On(1, 13),      // month out of range
      On(255, 255),   // unset date
      Damaged(1, 6),  // damaged: its date means nothing
      On(10, 1),
  };
  EXPECT_EQ(YearsOf(records, kCopiedOn15March2025), (Years{2024, {}, {}, {}, {}, {}, {}, 2025}));
}

TEST(YearRuleTest, TheFirstDatableRecordStartsTheWalk) {
  // The newest record has no date; the next one is compared with the copy's day.
  EXPECT_EQ(YearsOf({On(20, 12), On(0, 0)}, kCopiedOn15March2025), (Years{2024, {}}));
}

TEST(YearRuleTest, SeveralNewYearsBack) {
  EXPECT_EQ(YearsOf({On(1, 6), On(1, 1), On(1, 6), On(1, 1), On(1, 3)}, kCopiedOn15March2025),
            (Years{2023, 2024, 2024, 2025, 2025}));
}

TEST(YearRuleTest, DatableDates) {
  EXPECT_TRUE(HasDatableDate(On(1, 1)));
  EXPECT_TRUE(HasDatableDate(On(31, 12)));
  EXPECT_FALSE(HasDatableDate(On(31, 13)));
  EXPECT_FALSE(HasDatableDate(On(32, 12)));
  EXPECT_FALSE(HasDatableDate(Damaged(1, 1)));
}

}  // namespace
}  // namespace torv::history
