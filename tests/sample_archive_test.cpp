#include "archive/sample_archive.h"

#include <gtest/gtest.h>

#include <set>

#include "archive/archive_format.h"

namespace torv {
namespace {

TEST(SampleArchiveTest, SameSeedSameBytesOtherSeedOtherBytes) {
  const auto a = GenerateArchive({.seed = 5, .fill = 1200});
  EXPECT_EQ(a, GenerateArchive({.seed = 5, .fill = 1200}));
  EXPECT_NE(a, GenerateArchive({.seed = 6, .fill = 1200}));
  EXPECT_EQ(a.size(), 8196u);
}

TEST(SampleArchiveTest, EmptyArchive) {
  const ArchiveImage image = ImageFromBytes(GenerateArchive({.seed = 1, .fill = 0}));
  EXPECT_EQ(image.writeOffset, 255);
}

TEST(SampleArchiveTest, PartlyWrittenRingLeavesSlotsEmpty) {
  const ArchiveImage image = ImageFromBytes(GenerateArchive({.seed = 2, .fill = 300}));
  EXPECT_EQ(image.writeOffset, 300 * 8);
  for (int slot = 300; slot < kRecordCount; ++slot) {
    EXPECT_TRUE(image.RecordAt(slot * 8) == ArchiveRecord{}) << slot;
  }
  for (int slot = 0; slot < 300; ++slot) EXPECT_FALSE(image.RecordAt(slot * 8).IsEmpty()) << slot;
}

TEST(SampleArchiveTest, WrappedRingHoldsEveryKindOfRecord) {
  const ArchiveImage image = ImageFromBytes(GenerateArchive({.seed = 4, .fill = 1700}));
  EXPECT_EQ(image.writeOffset, (1700 % 1024) * 8);
  std::set<int> codes;
  int unsetTimes = 0, unsetDates = 0, halfDates = 0, spareBytes = 0;
  for (int slot = 0; slot < kRecordCount; ++slot) {
    const ArchiveRecord r = image.RecordAt(slot * 8);
    codes.insert(r.Code());
    if (r.IsDamaged()) continue;
    unsetTimes += r.Hours() == 255 && r.Minutes() == 255 && r.Seconds() == 255;
    unsetDates += r.Day() == 255 && r.Month() == 255;
    halfDates += (r.Day() == 255) != (r.Month() == 255);
    spareBytes += r.bytes[kSpareByte] != 0;
  }
  for (int code : {0, 1, 2, 3, 16, 50, 51, 255}) EXPECT_TRUE(codes.count(code)) << code;
  EXPECT_TRUE(codes.count(17) || codes.count(49) || codes.count(52) || codes.count(254));
  EXPECT_GT(unsetTimes, 0);
  EXPECT_GT(unsetDates, 0);
  EXPECT_GT(halfDates, 0);
  EXPECT_GT(spareBytes, 0);
}

TEST(SampleArchiveTest, TimesIncreaseFromOldestToNewest) {
  const ArchiveImage image = ImageFromBytes(GenerateArchive({.seed = 9, .fill = 400}));
  // Within one month, day and time never go back between written records.
  long previous = -1;
  int previousMonth = -1;
  for (int slot = 0; slot < 400; ++slot) {
    const ArchiveRecord r = image.RecordAt(slot * 8);
    if (r.IsDamaged() || r.Day() == 255 || r.Month() == 255 || r.Hours() == 255) continue;
    const long stamp = ((r.Day() * 24L + r.Hours()) * 60 + r.Minutes()) * 60 + r.Seconds();
    if (r.Month() == previousMonth) {
      EXPECT_GE(stamp, previous) << slot;
    }
    previous = stamp;
    previousMonth = r.Month();
  }
}

TEST(ArchiveBuilderTest, SlotsAndLittleEndianOffset) {
  ArchiveBuilder builder;
  builder.SetSlot(1, MakeRecord(51, 2, 7, 5, 30, 9, 11, 200)).SetWriteOffset(-8);
  const auto& bytes = builder.Bytes();
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 8, bytes.begin() + 16),
            (std::vector<std::uint8_t>{51, 2, 30, 5, 7, 9, 11, 200}));
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 8192, bytes.end()),
            (std::vector<std::uint8_t>{0xF8, 0xFF, 0xFF, 0xFF}));
}

}  // namespace
}  // namespace torv
