#include "history/merge.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "archive/sample_archive.h"
#include "models/device_simulation.h"
#include "models/memory_history.h"

namespace torv::history {
namespace {

// Record n: a device event on 1 January whose time of day tells n apart.
ArchiveRecord R(int n) {
  return MakeRecord(3, 0, static_cast<std::uint8_t>(n / 3600),
                    static_cast<std::uint8_t>(n / 60 % 60), static_cast<std::uint8_t>(n % 60), 1,
                    1);
}
constexpr int kDamaged = -1;

ArchiveCopy Copy(const std::vector<int>& numbers, std::int64_t time = 1000) {
  ArchiveCopy copy;
  copy.copiedAt = CopyTime{time, 2024, 1, 2};
  for (const int n : numbers) {
    ArchiveRecord record;
    if (n == kDamaged) {
      record.bytes.fill(255);
    } else {
      record = R(n);
    }
    copy.records.push_back(record);
  }
  return copy;
}

// The stretches as lists of record numbers, damaged records as -1.
std::vector<std::vector<int>> Numbers(const MemoryHistory& history) {
  std::vector<std::vector<int>> result;
  for (const MemoryStretch& stretch : history.Stretches()) {
    std::vector<int> numbers;
    for (const ArchiveRecord& record : stretch.records) {
      numbers.push_back(record.IsDamaged()
                            ? kDamaged
                            : record.Hours() * 3600 + record.Minutes() * 60 + record.Seconds());
    }
    result.push_back(numbers);
  }
  return result;
}

using Stretches = std::vector<std::vector<int>>;

void ExpectOutcome(const ImportOutcome& outcome, int added, int stored, bool gap) {
  EXPECT_EQ(outcome.newEvents, added);
  EXPECT_EQ(outcome.alreadyStored, stored);
  EXPECT_EQ(outcome.gapBefore, gap);
}

TEST(MergeTest, FirstCopyStartsTheHistory) {
  MemoryHistory history;
  ExpectOutcome(history.Import(Copy({1, 2, 3, 4, 5})), 5, 0, false);
  EXPECT_EQ(Numbers(history), (Stretches{{1, 2, 3, 4, 5}}));
}

TEST(MergeTest, TheSameCopyAgainAddsNothing) {
  MemoryHistory history;
  (void)history.Import(Copy({1, 2, 3}));
  ExpectOutcome(history.Import(Copy({1, 2, 3})), 0, 3, false);
  EXPECT_EQ(Numbers(history), (Stretches{{1, 2, 3}}));
}

TEST(MergeTest, ACopyInsideAStretchAddsNothing) {
  MemoryHistory history;
  (void)history.Import(Copy({1, 2, 3, 4, 5, 6, 7}));
  ExpectOutcome(history.Import(Copy({3, 4, 5})), 0, 3, false);
  EXPECT_EQ(Numbers(history), (Stretches{{1, 2, 3, 4, 5, 6, 7}}));
}

TEST(MergeTest, ANewerCopyExtendsTheNewestEnd) {
  MemoryHistory history;
  (void)history.Import(Copy({1, 2, 3, 4, 5}, 100));
  ExpectOutcome(history.Import(Copy({3, 4, 5, 6, 7, 8}, 200)), 3, 3, false);
  EXPECT_EQ(Numbers(history), (Stretches{{1, 2, 3, 4, 5, 6, 7, 8}}));
}

TEST(MergeTest, AnOlderCopyImportedLaterExtendsTheOldestEnd) {
  MemoryHistory history;
  (void)history.Import(Copy({5, 6, 7, 8, 9}, 200));
  ExpectOutcome(history.Import(Copy({1, 2, 3, 4, 5, 6}, 100)), 4, 2, false);
  EXPECT_EQ(Numbers(history), (Stretches{{1, 2, 3, 4, 5, 6, 7, 8, 9}}));
}

TEST(MergeTest, ACopyCoveringAStretchGrowsItOnBothSides) {
  MemoryHistory history;
  (void)history.Import(Copy({4, 5, 6}, 100));
  ExpectOutcome(history.Import(Copy({1, 2, 3, 4, 5, 6, 7, 8, 9}, 200)), 6, 3, false);
  EXPECT_EQ(Numbers(history), (Stretches{{1, 2, 3, 4, 5, 6, 7, 8, 9}}));
}

TEST(MergeTest, ACopySharingNothingStartsAStretchAfterAGap) {
  MemoryHistory history;
  (void)history.Import(Copy({1, 2, 3}, 100));
  ExpectOutcome(history.Import(Copy({10, 11, 12}, 200)), 3, 0, true);
  EXPECT_EQ(Numbers(history), (Stretches{{1, 2, 3}, {10, 11, 12}}));
}

TEST(MergeTest, AStretchIsPlacedAmongTheOthersByCopyTime) {
  MemoryHistory history;
  (void)history.Import(Copy({20, 21}, 300));
  (void)history.Import(Copy({1, 2}, 100));
  ExpectOutcome(history.Import(Copy({10, 11}, 200)), 2, 0, true);
  EXPECT_EQ(Numbers(history), (Stretches{{1, 2}, {10, 11}, {20, 21}}));
}

TEST(MergeTest, ACopyOverlappingTwoStretchesClosesTheGap) {
  MemoryHistory history;
  (void)history.Import(Copy({1, 2, 3}, 100));
  (void)history.Import(Copy({7, 8, 9}, 300));
  ExpectOutcome(history.Import(Copy({2, 3, 4, 5, 6, 7, 8}, 200)), 3, 4, false);
  EXPECT_EQ(Numbers(history), (Stretches{{1, 2, 3, 4, 5, 6, 7, 8, 9}}));
}

TEST(MergeTest, ACopyMayBridgeSeveralStretchesAtOnce) {
  MemoryHistory history;
  (void)history.Import(Copy({1, 2}, 100));
  (void)history.Import(Copy({5, 6}, 200));
  (void)history.Import(Copy({9, 10}, 300));
  (void)history.Import(Copy({13, 14}, 400));
  ExpectOutcome(history.Import(Copy({2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, 350)), 5, 5, false);
  EXPECT_EQ(Numbers(history), (Stretches{{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, {13, 14}}));
}

TEST(MergeTest, ABridgeWithoutNewRecordsStillJoinsTheStretches) {
  MemoryHistory history;
  (void)history.Import(Copy({1, 2, 3}, 100));
  (void)history.Import(Copy({4, 5, 6}, 200));
  ASSERT_EQ(Numbers(history).size(), 2u);
  ExpectOutcome(history.Import(Copy({2, 3, 4, 5}, 150)), 0, 4, false);
  EXPECT_EQ(Numbers(history), (Stretches{{1, 2, 3, 4, 5, 6}}));
}

TEST(MergeTest, IdenticalNeighboursAreAllKept) {
  MemoryHistory history;
  ExpectOutcome(history.Import(Copy({1, 2, 2, 2, 3})), 5, 0, false);
  // The run 2 2 2 3 coincides whole: only 4 is new.
  ExpectOutcome(history.Import(Copy({2, 2, 2, 3, 4})), 1, 4, false);
  EXPECT_EQ(Numbers(history), (Stretches{{1, 2, 2, 2, 3, 4}}));
}

TEST(MergeTest, TheLongestCoincidingRunWins) {
  MemoryHistory history;
  (void)history.Import(Copy({1, 7, 7}));
  // 7 7 against the stretch's last two, not 7 against its last one.
  ExpectOutcome(history.Import(Copy({7, 7, 2})), 1, 2, false);
  EXPECT_EQ(Numbers(history), (Stretches{{1, 7, 7, 2}}));
}

TEST(MergeTest, OnATieTheCopyGoesToTheNewestPlace) {
  MemoryHistory history;
  (void)history.Import(Copy({1, 2}));
  // 2 1 coincides by one record at either end; the newer end wins.
  ExpectOutcome(history.Import(Copy({2, 1})), 1, 1, false);
  EXPECT_EQ(Numbers(history), (Stretches{{1, 2, 1}}));
}

TEST(MergeTest, DamagedRecordsHoldTheirPlaces) {
  MemoryHistory history;
  ExpectOutcome(history.Import(Copy({1, kDamaged, kDamaged, 2, kDamaged})), 5, 0, false);
  ExpectOutcome(history.Import(Copy({kDamaged, 2, kDamaged, 3, kDamaged})), 2, 3, false);
  EXPECT_EQ(Numbers(history), (Stretches{{1, kDamaged, kDamaged, 2, kDamaged, 3, kDamaged}}));
}

TEST(MergeTest, DamagedRecordsAloneJoinNothing) {
  // Damaged records are all alike: touching a stretch only through them is
  // sharing nothing, at either end, and a copy of them only is a stretch.
  struct Case {
    std::vector<int> stored;
    std::vector<int> copy;
    std::int64_t copyTime;
    Stretches expected;
  };
  const Case cases[] = {
      {{1, 2, kDamaged}, {kDamaged, 10, 11}, 200, {{1, 2, kDamaged}, {kDamaged, 10, 11}}},
      {{kDamaged, 5, 6}, {1, 2, kDamaged}, 50, {{1, 2, kDamaged}, {kDamaged, 5, 6}}},
      {{1, kDamaged, kDamaged},
       {kDamaged, kDamaged},
       200,
       {{1, kDamaged, kDamaged}, {kDamaged, kDamaged}}},
  };
  for (const Case& c : cases) {
    MemoryHistory history;
    (void)history.Import(Copy(c.stored, 100));
    const int size = static_cast<int>(c.copy.size());
    ExpectOutcome(history.Import(Copy(c.copy, c.copyTime)), size, 0, true);
    EXPECT_EQ(Numbers(history), c.expected);
  }
}

TEST(MergeTest, AnEmptyCopyChangesNothing) {
  MemoryHistory history;
  (void)history.Import(Copy({1, 2}));
  ExpectOutcome(history.Import(Copy({})), 0, 0, false);
  EXPECT_EQ(Numbers(history), (Stretches{{1, 2}}));
}

TEST(MergeTest, AStoredRecordKeepsTheYearItGotFirst) {
  MemoryHistory history;
  ArchiveCopy first;
  first.copiedAt = CopyTime{100, 2024, 1, 10};
  first.records = {MakeRecord(3, 0, 1, 0, 0, 30, 12), MakeRecord(3, 0, 2, 0, 0, 5, 1)};
  (void)history.Import(first);
  // The same two records and one more, in a copy that claims a year later.
  ArchiveCopy later = first;
  later.copiedAt = CopyTime{200, 2025, 1, 12};
  later.records.push_back(MakeRecord(3, 0, 3, 0, 0, 11, 1));
  (void)history.Import(later);
  ASSERT_EQ(history.Stretches().size(), 1u);
  EXPECT_EQ(history.Stretches()[0].years, (std::vector<std::optional<int>>{2023, 2024, 2025}));
}

TEST(MergeTest, TheSpareByteIsKeptButNotCompared) {
  MemoryHistory history;
  ArchiveCopy first = Copy({1, 2});
  first.records[1].bytes[kSpareByte] = 7;
  (void)history.Import(first);
  ArchiveCopy second = Copy({2, 3});
  second.records[0].bytes[kSpareByte] = 9;
  ExpectOutcome(history.Import(second), 1, 1, false);
  ASSERT_EQ(history.Stretches().size(), 1u);
  EXPECT_EQ(history.Stretches()[0].records[1].bytes[kSpareByte], 7);
}

TEST(MergeTest, OnlyTheWindowsAroundTheCopysEndsAreLoaded) {
  // A stretch of 5000 positions; the copy's first record was seen at 4990.
  const auto windows =
      WindowsToLoad({{0, 4999}, {-3, 2}}, 1024, CopyAnchors{0, 1023}, {{0, 4990}}, {{0, 100}});
  ASSERT_EQ(windows.size(), 2u);
  ASSERT_EQ(windows[0].size(), 2u);
  EXPECT_EQ(windows[0][0].lo, 0);
  EXPECT_EQ(windows[0][0].hi, 100);
  EXPECT_EQ(windows[0][1].lo, 4990);
  EXPECT_EQ(windows[0][1].hi, 4999);
  // A stretch no longer than the copy may lie inside it: loaded whole.
  ASSERT_EQ(windows[1].size(), 1u);
  EXPECT_EQ(windows[1][0].lo, -3);
  EXPECT_EQ(windows[1][0].hi, 2);
  // Damaged first and last records: the windows are laid from the copy's
  // records 2 and 1020, the oldest and newest that are not damaged.
  const auto shifted =
      WindowsToLoad({{0, 4999}}, 1024, CopyAnchors{2, 1020}, {{0, 4990}}, {{0, 1100}});
  ASSERT_EQ(shifted[0].size(), 2u);
  EXPECT_EQ(shifted[0][0].lo, 80);
  EXPECT_EQ(shifted[0][0].hi, 1103);
  EXPECT_EQ(shifted[0][1].lo, 4988);
  EXPECT_EQ(shifted[0][1].hi, 4999);
}

TEST(MergeTest, CopiesInAnyOrderGiveTheHistoryOfTimeOrder) {
  SimulationOptions options;
  options.seed = 5;
  options.damagedPerMille = 0;
  options.repeatPerMille = 0;
  SimulatedDevice device(options);
  std::vector<ArchiveCopy> copies;
  for (const int written : {700, 600, 900, 2000, 300}) {
    device.Write(written);
    copies.push_back(device.CopyNow());
  }
  const auto recordsOf = [](const MemoryHistory& history) {
    std::vector<std::vector<ArchiveRecord>> stretches;
    for (const MemoryStretch& stretch : history.Stretches()) stretches.push_back(stretch.records);
    return stretches;
  };
  MemoryHistory inTimeOrder;
  for (const ArchiveCopy& copy : copies) (void)inTimeOrder.Import(copy);
  const auto expected = recordsOf(inTimeOrder);
  // 2000 events between copies 3 and 4 left a gap; the rest is what the device wrote.
  ASSERT_EQ(expected.size(), 2u);
  EXPECT_EQ(expected[0],
            std::vector<ArchiveRecord>(device.Written().begin(), device.Written().begin() + 2200));
  // The fourth copy holds events 3176 to 4199, the fifth 3476 to 4499.
  EXPECT_EQ(expected[1],
            std::vector<ArchiveRecord>(device.Written().begin() + 3176, device.Written().end()));

  std::vector<int> order{0, 1, 2, 3, 4};
  do {
    MemoryHistory history;
    for (const int i : order) (void)history.Import(copies[static_cast<std::size_t>(i)]);
    for (const int i : order) (void)history.Import(copies[static_cast<std::size_t>(i)]);
    ASSERT_EQ(recordsOf(history), expected);
  } while (std::next_permutation(order.begin(), order.end()));
}

}  // namespace
}  // namespace torv::history
