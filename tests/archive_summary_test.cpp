#include "archive/archive_summary.h"

#include <gtest/gtest.h>

#include "archive/sample_archive.h"

namespace torv {
namespace {

TEST(ArchiveSummaryTest, CountsWhatTheTestPlaced) {
  ArchiveBuilder builder;
  builder.SetSlot(0, MakeRecord(0, 2, 1, 1, 1, 2, 3));            // input 3 normal
  builder.SetSlot(1, MakeRecord(1, 2, 1, 1, 2, 2, 3));            // input 3 warning
  builder.SetSlot(2, MakeRecord(2, 2, 1, 1, 3, 2, 3));            // input 3 alarm
  builder.SetSlot(3, MakeRecord(2, 2, 1, 1, 4, 2, 3));            // input 3 alarm
  builder.SetSlot(4, MakeRecord(2, 0, 1, 1, 5, 2, 3));            // input 1 alarm
  builder.SetSlot(5, MakeRecord(50, 7, 1, 1, 6, 2, 3));           // relay 8 off
  builder.SetSlot(6, MakeRecord(51, 7, 1, 1, 7, 2, 3));           // relay 8 on
  builder.SetSlot(7, MakeRecord(16, 9, 1, 1, 8, 2, 3));           // programming
  builder.SetSlot(8, MakeRecord(100, 0, 1, 1, 9, 2, 3));          // code without text
  builder.SetSlot(9, ArchiveRecord{{255, 0, 9, 8, 7, 6, 5, 0}});  // damaged, newest
  builder.SetSlot(10, MakeRecord(0, 0, 0, 0, 0, 0, 0, 7));        // empty despite byte 7
  builder.SetWriteOffset(8 * 10);
  const ArchiveSummary s = SummarizeArchive(ImageFromBytes(builder.Bytes()), 8196);

  EXPECT_FALSE(s.IsShort());
  EXPECT_FALSE(s.IsLong());
  EXPECT_EQ(s.meaning, WriteOffsetMeaning::kNewestAndOldest);
  EXPECT_EQ(s.newestOffset, 72);
  EXPECT_EQ(s.oldestOffset, 80);
  EXPECT_EQ(s.newestTimeDate, "07:08:09 06.05");
  EXPECT_EQ(s.oldestTimeDate, "00:00:00 00.00");
  EXPECT_EQ(s.damagedRecords, 1);
  EXPECT_EQ(s.emptyRecords, 1024 - 10);
  EXPECT_EQ(s.recordsPerCode,
            (std::map<int, int>{{0, 1}, {1, 1}, {2, 3}, {16, 1}, {50, 1}, {51, 1}, {100, 1}}));
  ASSERT_EQ(s.inputEvents.size(), 2u);
  EXPECT_EQ(s.inputEvents.at(3).normal, 1);
  EXPECT_EQ(s.inputEvents.at(3).warning, 1);
  EXPECT_EQ(s.inputEvents.at(3).alarm, 2);
  EXPECT_EQ(s.inputEvents.at(1).alarm, 1);
  EXPECT_EQ(s.inputEvents.at(1).normal, 0);
  ASSERT_EQ(s.relayEvents.size(), 1u);
  EXPECT_EQ(s.relayEvents.at(8).off, 1);
  EXPECT_EQ(s.relayEvents.at(8).on, 1);
}

TEST(ArchiveSummaryTest, WriteOffsetMeanings) {
  ArchiveBuilder builder;
  builder.SetSlot(1023, MakeRecord(3, 0, 12, 30, 0, 1, 2)).SetWriteOffset(255);
  EXPECT_EQ(SummarizeArchive(ImageFromBytes(builder.Bytes()), 8196).meaning,
            WriteOffsetMeaning::kEmptyArchive);
  builder.SetWriteOffset(4);
  const ArchiveSummary damaged = SummarizeArchive(ImageFromBytes(builder.Bytes()), 9000);
  EXPECT_EQ(damaged.meaning, WriteOffsetMeaning::kDamaged);
  EXPECT_TRUE(damaged.IsLong());
  EXPECT_EQ(damaged.newestTimeDate, "");
  builder.SetWriteOffset(8192);
  const ArchiveSummary wrapped = SummarizeArchive(ImageFromBytes(builder.Bytes()), 100);
  EXPECT_TRUE(wrapped.IsShort());
  EXPECT_EQ(wrapped.newestOffset, 8184);
  EXPECT_EQ(wrapped.oldestOffset, 0);
  EXPECT_EQ(wrapped.newestTimeDate, "12:30:00 01.02");
}

}  // namespace
}  // namespace torv
