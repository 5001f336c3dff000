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
  // Slots 10 to 1023 were never written: the oldest written record is slot 0.
  EXPECT_EQ(s.oldestOffset, 0);
  EXPECT_EQ(s.emptyBeforeOldest, 1014);
  EXPECT_EQ(s.newestKind, EventKind::kDamaged);
  EXPECT_EQ(s.newestTimeDate, "");  // a damaged record has no time and date
  EXPECT_EQ(s.oldestKind, EventKind::kInput);
  EXPECT_EQ(s.oldestTimeDate, "01:01:01 02.03");
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
  // Slot 1023 alone is written: it is the newest record and the oldest.
  EXPECT_EQ(wrapped.oldestOffset, 8184);
  EXPECT_EQ(wrapped.emptyBeforeOldest, 1023);
  EXPECT_EQ(wrapped.newestTimeDate, "12:30:00 01.02");
  EXPECT_EQ(wrapped.oldestTimeDate, "12:30:00 01.02");
}

TEST(ArchiveSummaryTest, TheOldestIsTheOldestWrittenRecord) {
  ArchiveBuilder builder;
  // A full ring: the oldest record is WriteOffset's slot itself.
  for (int slot = 0; slot < 1024; ++slot) builder.SetSlot(slot, MakeRecord(3, 0, 1, 2, 3, 4, 5));
  builder.SetSlot(300, MakeRecord(4, 0, 10, 20, 21, 9, 8)).SetWriteOffset(300 * 8);
  const ArchiveSummary full = SummarizeArchive(ImageFromBytes(builder.Bytes()), 8196);
  EXPECT_EQ(full.oldestOffset, 2400);
  EXPECT_EQ(full.emptyBeforeOldest, 0);
  EXPECT_EQ(full.oldestTimeDate, "10:20:21 09.08");

  // Empty slots within the written ones are not the ring's unwritten part:
  // only those from WriteOffset on are passed.
  builder.SetSlot(300, ArchiveRecord{}).SetSlot(301, ArchiveRecord{}).SetSlot(5, ArchiveRecord{});
  const ArchiveSummary gap = SummarizeArchive(ImageFromBytes(builder.Bytes()), 8196);
  EXPECT_EQ(gap.oldestOffset, 302 * 8);
  EXPECT_EQ(gap.emptyBeforeOldest, 2);
  EXPECT_EQ(gap.emptyRecords, 3);
  EXPECT_TRUE(gap.AnyWritten());

  // Nothing written at all: no oldest record.
  const ArchiveSummary none = SummarizeArchive(ImageFromBytes(ArchiveBuilder().Bytes()), 8196);
  EXPECT_EQ(none.meaning, WriteOffsetMeaning::kNewestAndOldest);
  EXPECT_FALSE(none.AnyWritten());
  EXPECT_EQ(none.emptyBeforeOldest, 1024);
  EXPECT_EQ(none.newestKind, EventKind::kEmpty);
  EXPECT_EQ(none.newestTimeDate, "");
}

TEST(ArchiveSummaryTest, ADayAndMonthOf255AreNoDateAsInTheTable) {
  ArchiveBuilder builder;
  builder.SetSlot(0, MakeRecord(0, 0, 14, 39, 40, 255, 255)).SetWriteOffset(8);
  EXPECT_EQ(SummarizeArchive(ImageFromBytes(builder.Bytes()), 8196).newestTimeDate, "14:39:40");
  builder.SetSlot(0, MakeRecord(0, 0, 14, 39, 40, 255, 3));
  EXPECT_EQ(SummarizeArchive(ImageFromBytes(builder.Bytes()), 8196).newestTimeDate,
            "14:39:40 255.03");
}

}  // namespace
}  // namespace torv
