#include "archive/archive_format.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "archive/archive_reader.h"
#include "archive/sample_archive.h"
#include "temp_archive.h"
#include "without_privileges.h"

namespace torv {
namespace {

using testing::TempFolder;

TEST(ArchiveRecordTest, EmptinessIgnoresTheSpareByte) {
  EXPECT_TRUE(MakeRecord(0, 0, 0, 0, 0, 0, 0, /*spare=*/9).IsEmpty());
  // Input 1 back to normal at 00:00:00 on day 0 of month 0 is indistinguishable
  // from an unwritten slot.
  EXPECT_TRUE(MakeRecord(0, 0, 0, 0, 0, 0, 0).IsEmpty());
  EXPECT_FALSE(MakeRecord(0, 0, 0, 0, 0, 0, 1).IsEmpty());
  EXPECT_FALSE(MakeRecord(0, 1, 0, 0, 0, 0, 0).IsEmpty());
}

TEST(ArchiveRecordTest, FieldBytes) {
  const ArchiveRecord record{{51, 2, 30, 5, 7, 9, 11, 200}};
  EXPECT_EQ(record.Code(), 51);
  EXPECT_EQ(record.Number(), 2);
  EXPECT_EQ(record.Seconds(), 30);
  EXPECT_EQ(record.Minutes(), 5);
  EXPECT_EQ(record.Hours(), 7);
  EXPECT_EQ(record.Day(), 9);
  EXPECT_EQ(record.Month(), 11);
  EXPECT_EQ(MakeRecord(51, 2, 7, 5, 30, 9, 11, 200), record);
}

TEST(RingStepTest, BackWrapsFromZeroTo8184) {
  EXPECT_EQ(RecordBack(0), 8184);
  EXPECT_EQ(RecordBack(8), 0);
  EXPECT_EQ(RecordBack(8184), 8176);
}

TEST(RingStepTest, ForwardWrapsPast8191ToZero) {
  EXPECT_EQ(RecordForward(8184), 0);
  EXPECT_EQ(RecordForward(0), 8);
  EXPECT_EQ(RecordForward(8176), 8184);
}

TEST(RingStepTest, OffsetsOutsideTheRingAreBroughtBackIntoIt) {
  EXPECT_EQ(NormalizeRingOffset(8192), 0);
  EXPECT_EQ(NormalizeRingOffset(-8), 8184);
  EXPECT_EQ(NormalizeRingOffset(12), 8);
  EXPECT_EQ(NormalizeRingOffset(INT32_MIN), 0);
  EXPECT_EQ(RecordBack(4), 8184);  // 4 stands for slot 0
  EXPECT_EQ(RecordForward(8188), 0);
}

TEST(RingStepTest, ThousandTwentyFourStepsBackComeHome) {
  int offset = 4000;
  for (int i = 0; i < kRecordCount; ++i) offset = RecordBack(offset);
  EXPECT_EQ(offset, 4000);
}

TEST(WriteOffsetTest, NewestRecord) {
  EXPECT_EQ(NewestOffset(0), 8184);
  EXPECT_EQ(NewestOffset(8), 0);
  EXPECT_EQ(NewestOffset(8184), 8176);
  EXPECT_EQ(NewestOffset(8192), 8184);  // 8192 reads like 0
}

TEST(WriteOffsetTest, ValidValues) {
  for (int valid : {255, 0, 8, 8184, 8192}) EXPECT_TRUE(IsValidWriteOffset(valid)) << valid;
  for (int invalid : {4, -8, 8200, 100000, 254, 8188, INT32_MIN, INT32_MAX}) {
    EXPECT_FALSE(IsValidWriteOffset(invalid)) << invalid;
  }
}

TEST(ImageFromBytesTest, ReadsRingAndLittleEndianOffset) {
  ArchiveBuilder builder;
  builder.SetSlot(3, MakeRecord(2, 4, 10, 20, 30, 5, 6, 7)).SetWriteOffset(0x00001FF8);
  const ArchiveImage image = ImageFromBytes(builder.Bytes());
  EXPECT_EQ(image.writeOffset, 8184);
  EXPECT_EQ(image.RecordAt(24), MakeRecord(2, 4, 10, 20, 30, 5, 6, 7));
  EXPECT_EQ(image.RecordAt(16), ArchiveRecord{});
}

TEST(ImageFromBytesTest, NegativeOffsetIsSigned) {
  ArchiveBuilder builder;
  builder.SetWriteOffset(-8);
  EXPECT_EQ(ImageFromBytes(builder.Bytes()).writeOffset, -8);
}

TEST(ImageFromBytesTest, ShortFilesReadAsZero) {
  std::vector<std::uint8_t> bytes(8196, 0xAB);
  // Ends inside the ring: the rest of the ring and the offset are zero.
  ArchiveImage image = ImageFromBytes(bytes.data(), 100);
  EXPECT_EQ(image.ring[99], 0xAB);
  EXPECT_EQ(image.ring[100], 0);
  EXPECT_EQ(image.ring[8191], 0);
  EXPECT_EQ(image.writeOffset, 0);
  // 8192 bytes: the whole ring, offset 0.
  EXPECT_EQ(ImageFromBytes(bytes.data(), 8192).writeOffset, 0);
  // 8193 bytes: only byte 8192 of the offset is there.
  EXPECT_EQ(ImageFromBytes(bytes.data(), 8193).writeOffset, 0xAB);
  EXPECT_EQ(ImageFromBytes(bytes.data(), 8195).writeOffset, 0xABABAB);
  EXPECT_EQ(ImageFromBytes(bytes.data(), 0).ring[0], 0);
}

TEST(ImageFromBytesTest, LongFileReadsLikeItsFirst8196Bytes) {
  ArchiveBuilder builder;
  builder.SetSlot(0, MakeRecord(3, 0, 1, 2, 3, 4, 5)).SetWriteOffset(8);
  std::vector<std::uint8_t> longer = builder.Bytes();
  longer.resize(9000, 0x77);
  const ArchiveImage a = ImageFromBytes(builder.Bytes());
  const ArchiveImage b = ImageFromBytes(longer);
  EXPECT_EQ(a.ring, b.ring);
  EXPECT_EQ(a.writeOffset, b.writeOffset);
}

TEST(ReadArchiveFileTest, ReadsARegularFile) {
  TempFolder folder;
  ArchiveBuilder builder;
  builder.SetSlot(1023, MakeRecord(16, 0, 12, 0, 0, 1, 1)).SetWriteOffset(0);
  const std::string path = folder.Write("a.dat", builder.Bytes());
  const auto image = ReadArchiveFile(path);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->RecordAt(8184), MakeRecord(16, 0, 12, 0, 0, 1, 1));
  EXPECT_EQ(image->writeOffset, 0);
}

TEST(ReadArchiveFileTest, ReadOnlyFileReadsNormallyAndStaysUnchanged) {
  TempFolder folder;
  const std::vector<std::uint8_t> bytes = GenerateArchive({.seed = 3, .fill = 40});
  const std::string path = folder.Write("ro.dat", bytes);
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  struct stat before {};
  ASSERT_EQ(::stat(path.c_str(), &before), 0);
  const auto image = ReadArchiveFile(path);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->writeOffset, 40 * 8);
  struct stat after {};
  ASSERT_EQ(::stat(path.c_str(), &after), 0);
  EXPECT_EQ(before.st_mtim.tv_sec, after.st_mtim.tv_sec);
  EXPECT_EQ(before.st_mtim.tv_nsec, after.st_mtim.tv_nsec);
  EXPECT_EQ(before.st_size, after.st_size);
}

// The problem a failed read reports, with its errno and reason.
void ExpectRefused(const std::string& path, ArchiveReadProblem problem, int errorNumber,
                   const std::string& reason) {
  SCOPED_TRACE(path);
  const Result<ArchiveImage> image = ReadArchiveFile(path);
  ASSERT_FALSE(image.ok());
  EXPECT_EQ(ArchiveReadProblemOf(image.failure()), problem);
  EXPECT_EQ(image.failure().errorNumber, errorNumber);
  EXPECT_EQ(image.failure().reason, reason);
  const Result<ArchiveFileContents> contents = ReadArchiveContents(path);
  ASSERT_FALSE(contents.ok());
  EXPECT_EQ(contents.failure().errorNumber, errorNumber);
  EXPECT_EQ(contents.failure().reason, reason);
}

TEST(ReadArchiveFileTest, RefusesWhatIsNotARegularFileAndSaysWhy) {
  TempFolder folder;
  const std::string noSuchFile = "No such file or directory";
  ExpectRefused("", ArchiveReadProblem::kNoSuchFile, ENOENT, noSuchFile);
  ExpectRefused((folder.path() / "missing.dat").string(), ArchiveReadProblem::kNoSuchFile, ENOENT,
                noSuchFile);
  ExpectRefused(folder.path().string(), ArchiveReadProblem::kFolder, EISDIR, "Is a directory");
  const std::string fifo = (folder.path() / "pipe.dat").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  // Returns at once, no writer needed.
  ExpectRefused(fifo, ArchiveReadProblem::kNotRegularFile, 0, "not a regular file");
  ExpectRefused("/dev/zero", ArchiveReadProblem::kNotRegularFile, 0, "not a regular file");
  ExpectRefused("/dev/null", ArchiveReadProblem::kNotRegularFile, 0, "not a regular file");
  // A file where a folder should be: neither missing nor refused, another error.
  const std::string file = folder.Write("a.dat", GenerateArchive({.seed = 1, .fill = 5}));
  ExpectRefused(file + "/b.dat", ArchiveReadProblem::kOther, ENOTDIR, "Not a directory");
}

TEST(ReadArchiveFileTest, AnUnreadableFileIsAPermissionProblem) {
  TempFolder folder;
  const std::string path = folder.Write("secret.dat", GenerateArchive({.seed = 1, .fill = 5}));
  ASSERT_EQ(::chmod(path.c_str(), 0200), 0);
  ASSERT_EQ(::chmod(folder.path().c_str(), 0755), 0);
  testing::RunWithoutPrivileges([&] {
    ExpectRefused(path, ArchiveReadProblem::kPermissionDenied, EACCES, "Permission denied");
  });
}

TEST(ArchiveReadProblemTest, OnlyOurOwnReasonMakesANotRegularFile) {
  EXPECT_EQ(ArchiveReadProblemOf(Failure{"not a regular file", 0}),
            ArchiveReadProblem::kNotRegularFile);
  EXPECT_EQ(ArchiveReadProblemOf(Failure{"something else", 0}), ArchiveReadProblem::kOther);
  EXPECT_EQ(ArchiveReadProblemOf(SystemFailure(EPERM)), ArchiveReadProblem::kPermissionDenied);
  EXPECT_EQ(ArchiveReadProblemOf(SystemFailure(EIO)), ArchiveReadProblem::kOther);
  EXPECT_EQ(SystemFailure(EIO).errorNumber, EIO);
  EXPECT_EQ(SystemFailure(EIO).reason, "Input/output error");
}

TEST(ReadArchiveFileTest, FollowsASymlinkToARegularFile) {
  TempFolder folder;
  ArchiveBuilder builder;
  builder.SetWriteOffset(255);
  const std::string path = folder.Write("real.dat", builder.Bytes());
  const std::string link = (folder.path() / "link.dat").string();
  ASSERT_EQ(::symlink(path.c_str(), link.c_str()), 0);
  const auto image = ReadArchiveFile(link);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->writeOffset, 255);
}

}  // namespace
}  // namespace torv
