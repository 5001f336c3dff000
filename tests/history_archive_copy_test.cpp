#include "history/archive_copy.h"

#include <sys/time.h>

#include <gtest/gtest.h>

#include "archive/sample_archive.h"
#include "history_test_support.h"

namespace torv::history {
namespace {

class ArchiveCopyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("TZ", "UTC", 1);
    ::tzset();
  }
  torv::testing::TempFolder folder_;
};

TEST_F(ArchiveCopyTest, RecordsComeOldestFirstInRingOrderWithoutEmptyOnes) {
  // WriteOffset 16: slot 2 is the oldest, slot 1 the newest; slot 3 is empty.
  ArchiveBuilder builder;
  builder.FillAll(MakeRecord(3, 0, 1, 1, 1, 1, 1));
  builder.SetSlot(0, MakeRecord(4, 0, 0, 0, 10, 2, 2));
  builder.SetSlot(1, MakeRecord(5, 0, 0, 0, 11, 2, 2));
  builder.SetSlot(2, MakeRecord(6, 0, 0, 0, 12, 2, 2));
  builder.SetSlot(3, MakeRecord(0, 0, 0, 0, 0, 0, 0, 9));  // empty: only byte 7 set
  builder.SetWriteOffset(16);
  const std::string path = folder_.Write("a.dat", builder.Bytes());
  Result<ReadCopy> read = ReadArchiveCopy(path, CopyTime{5, 2025, 3, 1});
  ASSERT_TRUE(read.ok()) << read.failure().reason;
  const std::vector<ArchiveRecord>& records = read->copy.records;
  ASSERT_EQ(records.size(), 1023u);
  EXPECT_EQ(records.front(), MakeRecord(6, 0, 0, 0, 12, 2, 2));
  EXPECT_EQ(records[1], MakeRecord(3, 0, 1, 1, 1, 1, 1));
  EXPECT_EQ(records[1021], MakeRecord(4, 0, 0, 0, 10, 2, 2));
  EXPECT_EQ(records.back(), MakeRecord(5, 0, 0, 0, 11, 2, 2));
  EXPECT_FALSE(read->emptyArchive);
  EXPECT_EQ(read->copy.copiedAt.unixSeconds, 5);
  EXPECT_EQ(read->copy.source, path);
}

TEST_F(ArchiveCopyTest, TheCopyTimeIsTheFilesModificationTime) {
  const std::string path = folder_.Write("a.dat", GenerateArchive({.seed = 1, .fill = 100}));
  const struct timeval times[2] = {{1735689599, 0}, {1735689599, 0}};  // 2024-12-31 23:59:59
  ASSERT_EQ(::utimes(path.c_str(), times), 0);
  Result<ReadCopy> read = ReadArchiveCopy(path, std::nullopt);
  ASSERT_TRUE(read.ok());
  EXPECT_EQ(read->copy.copiedAt.unixSeconds, 1735689599);
  EXPECT_EQ(read->copy.copiedAt.year, 2024);
  EXPECT_EQ(read->copy.copiedAt.month, 12);
  EXPECT_EQ(read->copy.copiedAt.day, 31);
  EXPECT_EQ(read->copy.records.size(), 100u);
}

TEST_F(ArchiveCopyTest, RefusalsAreTheViewsMessages) {
  Result<ReadCopy> missing = ReadArchiveCopy((folder_.path() / "none.dat").string(), {});
  ASSERT_FALSE(missing.ok());
  EXPECT_EQ(missing.failure().reason, "Архив не удается открыть");
  Result<ReadCopy> folder = ReadArchiveCopy(folder_.path().string(), {});
  ASSERT_FALSE(folder.ok());
  EXPECT_EQ(folder.failure().reason, "Архив не удается открыть");
  const std::string damaged =
      folder_.Write("d.dat", ArchiveBuilder().SetWriteOffset(12).Bytes());  // not a slot
  Result<ReadCopy> refused = ReadArchiveCopy(damaged, {});
  ASSERT_FALSE(refused.ok());
  EXPECT_EQ(refused.failure().reason, "Архив поврежден");
}

TEST_F(ArchiveCopyTest, AnEmptyArchiveImportsNothingAndIsNoFailure) {
  const std::string path = folder_.Write("e.dat", GenerateArchive({.seed = 4, .fill = 0}));
  testing::TestStore test(testing::Backend::kSqlite);
  auto store = test.Open();
  ASSERT_TRUE(store);
  Result<ImportOutcome> outcome = ImportArchiveFile(*store, "1", path, {});
  ASSERT_TRUE(outcome.ok());
  EXPECT_TRUE(outcome->emptyArchive);
  EXPECT_EQ(outcome->newEvents, 0);
  Result<std::vector<DeviceSummary>> devices = store->Devices();
  ASSERT_TRUE(devices.ok());
  EXPECT_TRUE(devices->empty());
}

TEST_F(ArchiveCopyTest, ImportingAFileTwiceStoresItOnce) {
  const std::string path = folder_.Write("a.dat", GenerateArchive({.seed = 2, .fill = 1500}));
  testing::TestStore test(testing::Backend::kSqlite);
  auto store = test.Open();
  ASSERT_TRUE(store);
  const std::optional<CopyTime> at = CopyTime{1000, 2025, 1, 1};
  Result<ImportOutcome> first = ImportArchiveFile(*store, "1", path, at);
  ASSERT_TRUE(first.ok());
  Result<ImportOutcome> second = ImportArchiveFile(*store, "1", path, at);
  ASSERT_TRUE(second.ok());
  EXPECT_EQ(first->newEvents + first->alreadyStored, 1024);
  // The same bytes: no new copy, nothing counted.
  EXPECT_EQ(second->newEvents + second->alreadyStored, 0);
  ASSERT_TRUE(second->alreadyImported);
  Result<std::vector<DeviceSummary>> devices = store->Devices();
  ASSERT_TRUE(devices.ok());
  EXPECT_EQ(devices->front().copies, 1);
  Result<ImportOutcome> nameless = ImportArchiveFile(*store, "", path, at);
  ASSERT_FALSE(nameless.ok());
  EXPECT_EQ(nameless.failure().reason, "the device name is empty");
}

TEST(CopiedAtTest, LocalTimeWithItsCalendarDate) {
  ::setenv("TZ", "Europe/Moscow", 1);
  ::tzset();
  Result<CopyTime> time = ParseCopiedAt("2025-01-01T02:30:00");
  ASSERT_TRUE(time.ok()) << time.failure().reason;
  EXPECT_EQ(time->year, 2025);
  EXPECT_EQ(time->month, 1);
  EXPECT_EQ(time->day, 1);
  EXPECT_EQ(time->unixSeconds, 1735687800);  // 2024-12-31 23:30:00 UTC
  for (const char* bad : {"2025-02-30T10:00:00", "2025-01-01 10:00:00", "2025-01-01T24:00:00",
                          "2025-1-01T10:00:00", "2025-01-01T10:00", "x"}) {
    Result<CopyTime> refused = ParseCopiedAt(bad);
    ASSERT_FALSE(refused.ok()) << bad;
    EXPECT_EQ(refused.failure().reason,
              std::string("the copy time \"") + bad + "\" is not YYYY-MM-DDTHH:MM:SS");
  }
  ::setenv("TZ", "UTC", 1);
  ::tzset();
}

}  // namespace
}  // namespace torv::history
