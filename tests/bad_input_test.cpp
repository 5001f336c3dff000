// Archives that come off field devices damaged, or files that are no archives
// at all: each case has one exact outcome, and the file is never changed.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <functional>

#include "archive/archive_reader.h"
#include "archive/sample_archive.h"
#include "archive/view_engine.h"
#include "recording_screen.h"
#include "report/report_builder.h"
#include "temp_archive.h"
#include "without_privileges.h"

namespace torv {
namespace {

using testing::RecordingScreen;
using testing::TempFolder;
namespace fs = std::filesystem;

struct FileStamp {
  std::vector<std::uint8_t> bytes;
  timespec modified{};
  bool operator==(const FileStamp& other) const {
    return bytes == other.bytes && modified.tv_sec == other.modified.tv_sec &&
           modified.tv_nsec == other.modified.tv_nsec;
  }
};

timespec ModifiedOf(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return {};
  return info.st_mtim;
}

FileStamp StampOf(const std::string& path) {
  FileStamp stamp;
  stamp.modified = ModifiedOf(path);
  std::ifstream in(path, std::ios::binary);
  stamp.bytes.assign(std::istreambuf_iterator<char>(in), {});
  return stamp;
}

// Reads files like the program, running an action just before the n-th read.
class ActingSource : public ArchiveSource {
 public:
  ActingSource(int actAtRead, std::function<void()> action)
      : actAtRead_(actAtRead), action_(std::move(action)) {}
  Result<ArchiveImage> Read(const std::string& archiveFileName) const override {
    if (++reads_ == actAtRead_) action_();
    return FileArchiveSource().Read(archiveFileName);
  }

 private:
  int actAtRead_;
  std::function<void()> action_;
  mutable int reads_ = 0;  // the reads a test has seen, not the archive's state
};

class BadInputTest : public ::testing::Test {
 protected:
  // Shows the newest block of a good archive first, so that a failing request
  // can be checked to leave that view alone.
  void ShowGoodView() {
    state.ArchiveFileName = folder.Write("good.dat", GenerateArchive({.seed = 8, .fill = 900}));
    state.BlocksBack = 1;
    ASSERT_EQ(Button1Click(state, screen), ViewResult::kShown);
    goodTable = screen.table;
    goodStatus = screen.status;
    goodEdit1 = screen.newestRecordText;
  }
  void ExpectMessageAndViewUnchanged(const std::string& path, const std::string& message) {
    screen.messages.clear();
    state.ArchiveFileName = path;
    state.StepBackwardPending = 1;
    EXPECT_EQ(Button1Click(state, screen), ViewResult::kMessage) << path;
    EXPECT_EQ(screen.messages, std::vector<std::string>{message}) << path;
    EXPECT_EQ(screen.table, goodTable);
    EXPECT_EQ(screen.status, goodStatus);
    EXPECT_EQ(screen.newestRecordText, goodEdit1);
    EXPECT_EQ(state.ShownRowCount, 16);
    EXPECT_EQ(state.StepBackwardPending, 0);
  }
  // Shows the newest block of `path`; returns the status of the request.
  ViewResult ShowNewest(const std::string& path) {
    screen.messages.clear();
    state.ArchiveFileName = path;
    state.BlocksBack = 1;
    return Button1Click(state, screen);
  }

  TempFolder folder;
  ViewState state;
  RecordingScreen screen;
  std::vector<EventRow> goodTable;
  std::string goodStatus, goodEdit1;
};

TEST_F(BadInputTest, ThingsThatAreNotArchiveFiles) {
  ShowGoodView();
  const std::string fifo = (folder.path() / "pipe.dat").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& path : {(folder.path() / "missing.dat").string(), folder.path().string(),
                                  fifo, std::string("/dev/zero"), std::string("/dev/null")}) {
    ExpectMessageAndViewUnchanged(path, "Архив не удается открыть");
  }
}

TEST_F(BadInputTest, NoReadPermission) {
  ShowGoodView();
  const std::string path = folder.Write("secret.dat", GenerateArchive({.seed = 1, .fill = 10}));
  ASSERT_EQ(::chmod(path.c_str(), 0200), 0);
  ASSERT_EQ(::chmod(folder.path().c_str(), 0755), 0);
  testing::RunWithoutPrivileges(
      [&] { ExpectMessageAndViewUnchanged(path, "Архив не удается открыть"); });
}

TEST_F(BadInputTest, ReadOnlyFileReadsNormally) {
  const std::string path = folder.Write("ro.dat", GenerateArchive({.seed = 2, .fill = 50}));
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  const FileStamp before = StampOf(path);
  EXPECT_EQ(ShowNewest(path), ViewResult::kShown);
  EXPECT_EQ(state.ShownRowCount, 16);
  EXPECT_EQ(StampOf(path), before);
}

TEST_F(BadInputTest, EverySizeReadsAsFarAsItGoes) {
  // 1100 records written: the write offset is 76 * 8 = 0x0260.
  std::vector<std::uint8_t> full = GenerateArchive({.seed = 3, .fill = 1100});
  full.resize(9000, 0xEE);
  const std::pair<std::size_t, int> sizes[] = {
      {0, 0},       {1, 0},        {8191, 0},     {8192, 0},
      {8193, 0x60}, {8195, 0x260}, {8196, 0x260}, {9000, 0x260},
  };
  for (const auto& [size, writeOffset] : sizes) {
    const std::vector<std::uint8_t> bytes(full.begin(), full.begin() + size);
    const std::string path = folder.Write("size" + std::to_string(size) + ".dat", bytes);
    const FileStamp before = StampOf(path);
    ASSERT_EQ(ShowNewest(path), ViewResult::kShown) << size;
    EXPECT_EQ(StampOf(path), before) << size;
    // The newest slot as the offset read says, decoded from what the file holds
    // there (zero where the file ended).
    const int newest = NewestOffset(writeOffset);
    ArchiveRecord expected;
    for (int i = 0; i < kRecordSize; ++i) {
      const std::size_t at = static_cast<std::size_t>(newest + i);
      expected.bytes[i] = at < size ? full[at] : 0;
    }
    EXPECT_EQ(screen.table[1], DecodeRecord(expected)) << size;
    EXPECT_EQ(screen.newestRecordText, FormatTimeDate(expected)) << size;
  }
}

TEST_F(BadInputTest, HugeSparseFileReadsOnlyItsHead) {
  const std::vector<std::uint8_t> head = GenerateArchive({.seed = 5, .fill = 700});
  const std::string path = folder.Write("huge.dat", head);
  ASSERT_EQ(::truncate(path.c_str(), 1LL << 30), 0);  // 1 GiB, sparse
  // Only the time stamp: reading the whole GiB back would take the test a
  // minute under the sanitizers.
  const timespec before = ModifiedOf(path);
  ASSERT_EQ(ShowNewest(path), ViewResult::kShown);
  EXPECT_EQ(screen.table[1], DecodeRecord(ImageFromBytes(head).RecordAt(699 * 8)));
  EXPECT_EQ(ModifiedOf(path).tv_sec, before.tv_sec);
  EXPECT_EQ(ModifiedOf(path).tv_nsec, before.tv_nsec);
}

TEST_F(BadInputTest, WriteOffsets) {
  const std::pair<std::int32_t, const char*> cases[] = {
      {255, "архив пуст"},       {4, "Архив поврежден"},      {-8, "Архив поврежден"},
      {8200, "Архив поврежден"}, {100000, "Архив поврежден"}, {INT_MIN, "Архив поврежден"},
  };
  for (const auto& [offset, message] : cases) {
    ShowGoodView();
    ArchiveBuilder builder;
    builder.FillAll(MakeRecord(1, 0, 1, 2, 3, 4, 5)).SetWriteOffset(offset);
    ExpectMessageAndViewUnchanged(folder.Write("o.dat", builder.Bytes()), message);
  }
  for (std::int32_t offset : {0, 8, 8184, 8192}) {
    ArchiveBuilder builder;
    builder.SetSlot(NewestOffset(offset) / 8, MakeRecord(2, 0, 1, 2, 3, 4, 5));
    builder.SetWriteOffset(offset);
    ASSERT_EQ(ShowNewest(folder.Write("v.dat", builder.Bytes())), ViewResult::kShown) << offset;
    EXPECT_EQ(screen.newestRecordText, "01:02:03 04.05") << offset;
  }
}

TEST_F(BadInputTest, AllRecordsDamaged) {
  ArchiveBuilder builder;
  builder.FillAll(ArchiveRecord{{255, 255, 255, 255, 255, 255, 255, 255}}).SetWriteOffset(0);
  const std::string path = folder.Write("damaged.dat", builder.Bytes());
  ASSERT_EQ(ShowNewest(path), ViewResult::kShown);
  EXPECT_EQ(screen.newestRecordText, "");
  for (int row = 1; row <= 16; ++row) {
    EXPECT_EQ(screen.table[row], (EventRow{"**НЕКОРР ЗАП.**", "", "", ""}));
  }
  const WholeArchiveReport report = BuildWholeArchiveReport(state);
  ASSERT_FALSE(report.message);
  EXPECT_EQ(report.lines.size(), 3u + 1024u);
  EXPECT_EQ(report.lines.back(), "**НЕКОРР ЗАП.**\t\t\t\t\t\t");
}

TEST_F(BadInputTest, FileReplacedBetweenRequests) {
  const std::string path = folder.Write("a.dat", GenerateArchive({.seed = 1, .fill = 30}));
  ASSERT_EQ(ShowNewest(path), ViewResult::kShown);
  const std::vector<std::uint8_t> other = GenerateArchive({.seed = 2, .fill = 600});
  folder.Write("a.dat", other);
  ASSERT_EQ(ShowNewest(path), ViewResult::kShown);
  EXPECT_EQ(screen.table[1], DecodeRecord(ImageFromBytes(other).RecordAt(599 * 8)));
}

TEST_F(BadInputTest, FileDeletedDuringTheWholeArchiveReport) {
  const std::string path = folder.Write("a.dat", GenerateArchive({.seed = 1, .fill = 1500}));
  state.ArchiveFileName = path;
  const ActingSource source(11, [&] { fs::remove(path); });
  const WholeArchiveReport report = BuildWholeArchiveReport(state, source);
  EXPECT_EQ(report.message, "Архив не удается открыть");
  EXPECT_TRUE(report.lines.empty());
  // Ten views were shown before the eleventh found the file gone.
  ASSERT_EQ(report.views.size(), 11u);
  EXPECT_TRUE(report.views[9].Shown());
  ASSERT_TRUE(report.views[10].readFailure);
  EXPECT_EQ(ArchiveReadProblemOf(*report.views[10].readFailure), ArchiveReadProblem::kNoSuchFile);
  // The state is that of the last view shown: nine steps back from the newest block.
  EXPECT_EQ(state.ReadOffset, report.views[9].state.ReadOffset);
  EXPECT_EQ(state.ShownRowCount, 16);
}

TEST_F(BadInputTest, OddNamesAndALongFolderPath) {
  fs::path folderPath = folder.path();
  while (folderPath.string().size() < 240) folderPath /= "папка с пробелом 'и' \"кавычками\"";
  fs::create_directories(folderPath);
  const std::vector<std::uint8_t> bytes = GenerateArchive({.seed = 6, .fill = 64});
  for (const char* name : {"архив №1.dat", "a b.dat", "it's \"q\".dat", "x\ty.dat"}) {
    const fs::path path = folderPath / name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    const FileStamp before = StampOf(path.string());
    ASSERT_EQ(ShowNewest(path.string()), ViewResult::kShown) << name;
    EXPECT_EQ(screen.status, "Архив: файл " + path.string());
    EXPECT_EQ(StampOf(path.string()), before);
  }
}

}  // namespace
}  // namespace torv
