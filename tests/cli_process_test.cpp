// torvdoc-cli run as a process on archives built here, checked byte for byte.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "archive/sample_archive.h"
#include "cli_ladder_archive.h"
#include "cli_test_support.h"

namespace torv {
namespace {

using cli_testing::kLadderNewestSlot;
using cli_testing::LadderArchive;
using cli_testing::LadderBlockSlots;
using cli_testing::LadderCells;
using cli_testing::LadderIsRelay;
using cli_testing::LadderRecord;
using cli_testing::LadderTimeDate;
using cli_testing::ProcessResult;
using cli_testing::ScratchFolder;
using cli_testing::Slot;
using cli_testing::SplitLines;

constexpr char kHeaderLine[] = "Событие\t\tНомер входа\t\t Время\t\tДата";
constexpr char kEmptyRowLine[] = "\t\t\t\t\t\t";

std::string LadderLine(int k) {
  const std::vector<std::string> cells = LadderCells(k);
  return cells[0] + "\t\t" + cells[1] + "\t\t" + cells[2] + "\t\t" + cells[3];
}

std::string ReportText(const std::string& status, const std::vector<int>& slots) {
  std::string text = status + "\n\n\n" + kHeaderLine + "\n";
  for (int k : slots) text += LadderLine(k) + "\n";
  return text;
}

std::string Status(const std::string& path) {
  return "Архив: файл " + path;
}

class CliProcessTest : public ::testing::Test {
 protected:
  ProcessResult Run(const std::vector<std::string>& args) {
    return cli_testing::RunProcess(TORVDOC_CLI_PATH, args, folder_.path(), folder_.path());
  }
  std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    return folder_.Write(name, bytes);
  }
  // The usual outcome of a view of `file` that ends in `message`.
  void ExpectMessage(const ProcessResult& result, const std::string& file,
                     const std::string& message) {
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "torvdoc-cli: " + file + ": " + message + "\n");
  }

  ScratchFolder folder_;
};

// --- block views ---

TEST_F(CliProcessTest, DefaultViewIsTheNewestBlock) {
  const std::string path = Write("ladder.dat", LadderArchive());
  const ProcessResult result = Run({"view", path});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out, ReportText(Status(path), LadderBlockSlots(1)));

  const std::vector<std::string> lines = SplitLines(result.out);
  ASSERT_EQ(lines.size(), 20u);
  EXPECT_EQ(lines[1], "");
  EXPECT_EQ(lines[2], "");
  EXPECT_EQ(lines[4], "Норма           \t\t5           \t\t01:39:07\t\t03.04");   // slot 99
  EXPECT_EQ(lines[19], "Норма           \t\t5           \t\t01:24:07\t\t03.04");  // slot 84
}

TEST_F(CliProcessTest, BlockOneEqualsTheDefault) {
  const std::string path = Write("ladder.dat", LadderArchive());
  EXPECT_EQ(Run({"view", path, "--block", "1"}).out, Run({"view", path}).out);
}

TEST_F(CliProcessTest, Block64IsTheOldestBlock) {
  const std::string path = Write("ladder.dat", LadderArchive());
  const ProcessResult result = Run({"view", path, "--block", "64"});
  EXPECT_EQ(result.exitCode, 0);
  const std::vector<int> slots = LadderBlockSlots(64);
  EXPECT_EQ(slots.front(), 115);
  EXPECT_EQ(slots.back(), 100);
  EXPECT_EQ(result.out, ReportText(Status(path), slots));
  // The oldest record, in slot 100, is the last row.
  EXPECT_EQ(SplitLines(result.out).back(), "Пред. сигн.     \t\t1           \t\t01:40:07\t\t03.04");
}

TEST_F(CliProcessTest, MiddleBlockWrapsPastSlotZero) {
  const std::string path = Write("ladder.dat", LadderArchive());
  // Block 7 starts at slot 3 and continues at slot 1023.
  const std::vector<int> slots = {3,    2,    1,    0,    1023, 1022, 1021, 1020,
                                  1019, 1018, 1017, 1016, 1015, 1014, 1013, 1012};
  EXPECT_EQ(LadderBlockSlots(7), slots);
  EXPECT_EQ(Run({"view", path, "--block", "7"}).out, ReportText(Status(path), slots));
}

TEST_F(CliProcessTest, RelativeFileIsShownAsAbsoluteButNotCanonicalPath) {
  Write("ladder.dat", LadderArchive());
  std::filesystem::create_directory(folder_.path() / "sub");
  const ProcessResult result = Run({"view", "./sub/../ladder.dat"});
  EXPECT_EQ(result.exitCode, 0);
  const std::string cwd = std::filesystem::canonical(folder_.path()).string();
  EXPECT_EQ(SplitLines(result.out).at(0), "Архив: файл " + cwd + "/./sub/../ladder.dat");
}

// --- steps ---

TEST_F(CliProcessTest, ThreeStepsBackShowBlockFour) {
  const std::string path = Write("ladder.dat", LadderArchive());
  const ProcessResult result = Run({"view", path, "--steps", "bbb"});
  EXPECT_EQ(result.exitCode, 0);
  // Slot 51 leads block 4; a step writes its time and date into the status line.
  EXPECT_EQ(result.out, ReportText(Status(path) + "  время: 00:51:07 02.04", LadderBlockSlots(4)));
  EXPECT_EQ(LadderTimeDate(51), "00:51:07 02.04");
}

TEST_F(CliProcessTest, StepForwardAfterThreeStepsBackShowsBlockThree) {
  const std::string path = Write("ladder.dat", LadderArchive());
  const ProcessResult result = Run({"view", path, "--steps", "bbbf"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out, ReportText(Status(path) + "  время: 01:07:07 02.04", LadderBlockSlots(3)));
}

TEST_F(CliProcessTest, StepsContinueFromTheChosenBlock) {
  const std::string path = Write("ladder.dat", LadderArchive());
  const ProcessResult result = Run({"view", path, "--block", "10", "--steps", "bfb"});
  EXPECT_EQ(result.exitCode, 0);
  const int first = LadderBlockSlots(11).front();
  EXPECT_EQ(result.out,
            ReportText(Status(path) + "  время: " + LadderTimeDate(first), LadderBlockSlots(11)));
}

TEST_F(CliProcessTest, StepForwardFromTheNewestBlockWrapsToTheOldest) {
  const std::string path = Write("ladder.dat", LadderArchive());
  const ProcessResult result = Run({"view", path, "--steps", "f"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out, ReportText(Status(path) + "  время: 01:55:07 03.04", LadderBlockSlots(64)));
}

TEST_F(CliProcessTest, StepBackFromTheOldestBlockWrapsToTheNewest) {
  const std::string path = Write("ladder.dat", LadderArchive());
  const ProcessResult result = Run({"view", path, "--block", "64", "--steps", "b"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out, ReportText(Status(path) + "  время: 01:39:07 03.04", LadderBlockSlots(1)));
}

TEST_F(CliProcessTest, SixtyFourStepsBackComeRoundToTheSameBlock) {
  const std::string path = Write("ladder.dat", LadderArchive());
  const ProcessResult result = Run({"view", path, "--block", "5", "--steps", std::string(64, 'b')});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out,
            ReportText(Status(path) + "  время: " + LadderTimeDate(35), LadderBlockSlots(5)));
}

TEST_F(CliProcessTest, EmptyStepsChangeNothing) {
  const std::string path = Write("ladder.dat", LadderArchive());
  EXPECT_EQ(Run({"view", path, "--steps", ""}).out, Run({"view", path}).out);
}

// --- date search ---

TEST_F(CliProcessTest, DateSearchShowsTheBlockOfTheNewestRecordOfThatDay) {
  const std::string path = Write("ladder.dat", LadderArchive());
  const ProcessResult result = Run({"view", path, "--date", "05.04"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.err, "");
  // Day 5 is held by slots 160 to 199; walking back from slot 99 meets 199 first.
  std::vector<int> slots;
  for (int k = 199; k > 183; --k) slots.push_back(k);
  EXPECT_EQ(result.out, ReportText(Status(path) + "  05.04", slots));
  EXPECT_EQ(SplitLines(result.out).at(4),
            "Пред. сигн.     \t\t5           \t\t03:19:07\t\t05.04");  // slot 199
}

TEST_F(CliProcessTest, DateSearchOfTheNewestDayShowsTheNewestBlock) {
  const std::string path = Write("ladder.dat", LadderArchive());
  const ProcessResult result = Run({"view", path, "--date", "03.04"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out, ReportText(Status(path) + "  03.04", LadderBlockSlots(1)));
}

TEST_F(CliProcessTest, DateSearchComparesFiveCharactersButShowsTheWholeKey) {
  const std::string path = Write("ladder.dat", LadderArchive());
  const ProcessResult result = Run({"view", path, "--date", "05.04 (весна)"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(SplitLines(result.out).at(0), Status(path) + "  05.04 (весна)");
  EXPECT_EQ(SplitLines(result.out).at(4), LadderLine(199));
}

TEST_F(CliProcessTest, DateSearchThenStepBackContinuesBehindTheFoundBlock) {
  const std::string path = Write("ladder.dat", LadderArchive());
  const ProcessResult result = Run({"view", path, "--date", "05.04", "--steps", "b"});
  EXPECT_EQ(result.exitCode, 0);
  std::vector<int> slots;
  for (int k = 183; k > 167; --k) slots.push_back(k);
  EXPECT_EQ(result.out, ReportText(Status(path) + "  время: 03:03:07 05.04", slots));
}

TEST_F(CliProcessTest, DateNotFoundEndsInItsMessage) {
  const std::string path = Write("ladder.dat", LadderArchive());
  ExpectMessage(Run({"view", path, "--date", "30.04"}), path, "Указанная дата не найдена");
}

TEST_F(CliProcessTest, DateWithAnotherSeparatorIsNotFound) {
  const std::string path = Write("ladder.dat", LadderArchive());
  ExpectMessage(Run({"view", path, "--date", "05/04"}), path, "Указанная дата не найдена");
}

TEST_F(CliProcessTest, DateKeyOfFiveCyrillicCharactersIsAcceptedAndNotFound) {
  const std::string path = Write("ladder.dat", LadderArchive());
  // Five characters in ten bytes: long enough, since characters are counted.
  ExpectMessage(Run({"view", path, "--date", "пятое"}), path, "Указанная дата не найдена");
}

// --- input view ---

TEST_F(CliProcessTest, InputViewListsThatInputsEventsNewestFirst) {
  const std::string path = Write("ladder.dat", LadderArchive());
  const ProcessResult result = Run({"view", path, "--input", "3"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.err, "");
  // Newest first: slots 99 down to 0, then 1023 down to 100. Relay records
  // with number 3 (such as slot 97) are not input events.
  std::vector<int> slots;
  for (int i = 0; i < kRecordCount; ++i) {
    const int k = Slot(kLadderNewestSlot - i);
    if (k % 5 == 2 && !LadderIsRelay(k)) slots.push_back(k);
  }
  EXPECT_EQ(slots.size(), 176u);
  EXPECT_EQ(slots.front(), 92);
  EXPECT_EQ(result.out, ReportText(Status(path) + " вход № 3", slots));
  EXPECT_EQ(SplitLines(result.out).at(4), "Авар. сигн. \t\t3           \t\t01:32:07\t\t03.04");
}

TEST_F(CliProcessTest, InputWithoutEventsEndsInItsMessage) {
  const std::string path = Write("ladder.dat", LadderArchive());
  ExpectMessage(Run({"view", path, "--input", "32"}), path, "нет событий");
}

// --- a partly written archive with special records ---

// Slots 0 to 19 written, the rest never: WriteOffset 160, newest in slot 19.
std::vector<std::uint8_t> PartialArchive() {
  ArchiveBuilder builder;
  for (int k = 0; k < 20; ++k) builder.SetSlot(k, LadderRecord(k));
  builder.SetSlot(5, ArchiveRecord{{255, 1, 2, 3, 4, 5, 6, 7}});  // damaged
  builder.SetSlot(6, MakeRecord(0, 0, 255, 255, 255, 5, 6));      // time unset
  builder.SetSlot(7, MakeRecord(17, 4, 10, 11, 12, 255, 255));    // no text, date unset
  builder.SetSlot(8, MakeRecord(2, 255, 255, 10, 7, 255, 3));     // partly unset
  builder.SetSlot(30, ArchiveRecord{{0, 0, 0, 0, 0, 0, 0, 9}});   // only the spare byte
  return builder.SetWriteOffset(160).Bytes();
}

TEST_F(CliProcessTest, SpecialRecordsAreShownAsTheTableShowsThem) {
  const std::string path = Write("partial.dat", PartialArchive());
  const ProcessResult result = Run({"view", path});
  EXPECT_EQ(result.exitCode, 0);
  const std::vector<std::string> lines = SplitLines(result.out);
  ASSERT_EQ(lines.size(), 20u);
  // Row r shows slot 19 - (r - 4).
  EXPECT_EQ(lines[4], LadderLine(19));
  EXPECT_EQ(lines[4 + 11], "Авар. сигн. \t\t256           \t\t255:10:07\t\t255.03");  // slot 8
  EXPECT_EQ(lines[4 + 12], "\t\t           \t\t10:11:12\t\t");                        // slot 7
  EXPECT_EQ(lines[4 + 13], "Норма           \t\t1           \t\t \t\t05.06");         // slot 6
  EXPECT_EQ(lines[4 + 14], "**НЕКОРР ЗАП.**\t\t\t\t\t\t");                            // slot 5
  EXPECT_EQ(lines[4 + 15], LadderLine(4));
}

TEST_F(CliProcessTest, StepIntoNeverWrittenSlotsShowsEmptyRowsAndNoTime) {
  const std::string path = Write("partial.dat", PartialArchive());
  // Block 2 starts at slot 3, which has a date: the status line has the time.
  const ProcessResult block2 = Run({"view", path, "--steps", "b"});
  EXPECT_EQ(block2.exitCode, 0);
  EXPECT_EQ(SplitLines(block2.out).at(0), Status(path) + "  время: " + LadderTimeDate(3));

  // Block 3 (slots 1011 down to 996) was never written: no time, empty rows.
  const ProcessResult block3 = Run({"view", path, "--steps", "bb"});
  EXPECT_EQ(block3.exitCode, 0);
  std::string expected = Status(path) + "\n\n\n" + kHeaderLine + "\n";
  for (int i = 0; i < kRecordsPerBlock; ++i) expected += std::string(kEmptyRowLine) + "\n";
  EXPECT_EQ(block3.out, expected);
}

TEST_F(CliProcessTest, InputViewSkipsEmptyRecords) {
  const std::string path = Write("partial.dat", PartialArchive());
  // Input 1: slots 0, 10 and 15 of the ladder, and slot 6 (time unset); the
  // never-written slots hold code 0 and number 0 but are empty.
  const ProcessResult result = Run({"view", path, "--input", "1"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out, Status(path) + " вход № 1\n\n\n" + kHeaderLine + "\n" + LadderLine(15) +
                            "\n" + LadderLine(10) + "\n" +
                            "Норма           \t\t1           \t\t \t\t05.06\n" + LadderLine(0) +
                            "\n");
}

// --- encodings ---

TEST_F(CliProcessTest, Cp1251EncodesTheWholeOutput) {
  const std::string path = Write("ladder.dat", LadderArchive());
  const ProcessResult result = Run({"view", path, "--encoding", "cp1251"});
  EXPECT_EQ(result.exitCode, 0);
  const std::vector<std::string> lines = SplitLines(result.out);
  ASSERT_EQ(lines.size(), 20u);
  EXPECT_EQ(lines[0], "\xC0\xF0\xF5\xE8\xE2: \xF4\xE0\xE9\xEB " + path);
  EXPECT_EQ(lines[1], "");
  EXPECT_EQ(lines[2], "");
  EXPECT_EQ(lines[3],
            "\xD1\xEE\xE1\xFB\xF2\xE8\xE5\t\t\xCD\xEE\xEC\xE5\xF0 \xE2\xF5\xEE\xE4\xE0\t\t"
            " \xC2\xF0\xE5\xEC\xFF\t\t\xC4\xE0\xF2\xE0");
  EXPECT_EQ(lines[4], "\xCD\xEE\xF0\xEC\xE0           \t\t5           \t\t01:39:07\t\t03.04");
  EXPECT_EQ(result.out.back(), '\n');
}

TEST_F(CliProcessTest, Utf8IsTheDefaultAndCanBeNamed) {
  const std::string path = Write("ladder.dat", LadderArchive());
  const ProcessResult named = Run({"view", path, "--encoding", "utf-8"});
  EXPECT_EQ(named.exitCode, 0);
  EXPECT_EQ(named.out, Run({"view", path}).out);
  EXPECT_EQ(SplitLines(named.out).at(3), kHeaderLine);
}

TEST_F(CliProcessTest, Cp1251AppliesToTheArchivePathToo) {
  const std::string path = Write("архив.dat", LadderArchive());
  const std::string folder = folder_.path().string();
  EXPECT_EQ(SplitLines(Run({"view", path, "--encoding", "cp1251"}).out).at(0),
            "\xC0\xF0\xF5\xE8\xE2: \xF4\xE0\xE9\xEB " + folder + "/\xE0\xF0\xF5\xE8\xE2.dat");
  EXPECT_EQ(SplitLines(Run({"view", path}).out).at(0), "Архив: файл " + folder + "/архив.dat");
}

TEST_F(CliProcessTest, MessagesStayUtf8WithCp1251Output) {
  const std::string path = Write("ladder.dat", LadderArchive());
  ExpectMessage(Run({"view", path, "--date", "30.04", "--encoding", "cp1251"}), path,
                "Указанная дата не найдена");
}

// --- failures ---

TEST_F(CliProcessTest, MissingFileCannotBeOpened) {
  const std::string missing = (folder_.path() / "missing.dat").string();
  ExpectMessage(Run({"view", missing}), missing, "Архив не удается открыть (нет такого файла)");
}

TEST_F(CliProcessTest, FolderCannotBeOpened) {
  ExpectMessage(Run({"view", folder_.path().string()}), folder_.path().string(),
                "Архив не удается открыть (это папка)");
}

TEST_F(CliProcessTest, WriteOffset255IsAnEmptyArchive) {
  const std::string path = Write("empty.dat", LadderArchive(255));
  ExpectMessage(Run({"view", path}), path, "архив пуст");
  ExpectMessage(Run({"view", path, "--input", "1"}), path, "архив пуст");
}

TEST_F(CliProcessTest, WriteOffsetOffTheSlotsIsADamagedArchive) {
  const std::string path = Write("damaged.dat", LadderArchive(4));
  ExpectMessage(Run({"view", path}), path, "Архив поврежден");
}

TEST_F(CliProcessTest, ReportOfAMissingFileShowsTheMessageOnce) {
  const std::string missing = (folder_.path() / "missing.dat").string();
  ExpectMessage(Run({"report", missing}), missing, "Архив не удается открыть (нет такого файла)");
}

TEST_F(CliProcessTest, ReportOfAnEmptyArchiveShowsTheMessageOnce) {
  const std::string path = Write("empty.dat", LadderArchive(255));
  ExpectMessage(Run({"report", path, "--encoding", "cp1251"}), path, "архив пуст");
}

// --- usage ---

struct UsageCase {
  std::vector<std::string> args;
  std::string firstLine;  // the first line of standard error
};

TEST_F(CliProcessTest, WrongUsageExitsWithTwo) {
  const std::string path = Write("ladder.dat", LadderArchive());
  const std::vector<UsageCase> cases = {
      {{}, "torvdoc-cli: missing command"},
      {{"show", path}, "torvdoc-cli: unknown command \"show\""},
      {{"view"}, "torvdoc-cli: missing FILE"},
      {{"view", "--block", "2"}, "torvdoc-cli: missing FILE"},
      {{"report"}, "torvdoc-cli: missing FILE"},
      {{"sample"}, "torvdoc-cli: missing OUT"},
      {{"view", path, "other.dat"}, "torvdoc-cli: unexpected argument \"other.dat\""},
      {{"view", path, "--page", "2"}, "torvdoc-cli: unknown option \"--page\""},
      {{"report", path, "--block", "2"}, "torvdoc-cli: unknown option \"--block\""},
      {{"sample", "x.dat", "--encoding", "cp1251"}, "torvdoc-cli: unknown option \"--encoding\""},
      {{"view", path, "--block", "2", "--block", "3"}, "torvdoc-cli: option --block given twice"},
      {{"view", path, "--block"}, "torvdoc-cli: option --block wants a value"},
      {{"view", path, "--block", "0"},
       "torvdoc-cli: --block wants a number from 1 to 64, not \"0\""},
      {{"view", path, "--block", "65"},
       "torvdoc-cli: --block wants a number from 1 to 64, not \"65\""},
      {{"view", path, "--block", "+3"},
       "torvdoc-cli: --block wants a number from 1 to 64, not \"+3\""},
      {{"view", path, "--input", "0"},
       "torvdoc-cli: --input wants a number from 1 to 32, not \"0\""},
      {{"view", path, "--input", "33"},
       "torvdoc-cli: --input wants a number from 1 to 32, not \"33\""},
      {{"view", path, "--date", "5.04"},
       "torvdoc-cli: --date wants at least five characters (DD.MM), not \"5.04\""},
      {{"view", path, "--date", "1.ая"},
       "torvdoc-cli: --date wants at least five characters (DD.MM), not \"1.ая\""},
      {{"view", path, "--block", "2", "--date", "05.04"},
       "torvdoc-cli: give only one of --block, --date and --input"},
      {{"view", path, "--input", "2", "--steps", "b"},
       "torvdoc-cli: --steps cannot be used with --input"},
      {{"view", path, "--steps", "bxf"},
       "torvdoc-cli: --steps takes only the letters b and f, not \"bxf\""},
      {{"view", path, "--encoding", "koi8-r"},
       "torvdoc-cli: --encoding is utf-8 or cp1251, not \"koi8-r\""},
      {{"sample", "x.dat", "--seed", "-1"},
       "torvdoc-cli: --seed wants a number from 0 to 4294967295, not \"-1\""},
      {{"sample", "x.dat", "--fill", "1000001"},
       "torvdoc-cli: --fill wants a number from 0 to 1000000, not \"1000001\""},
      {{"info"}, "torvdoc-cli: missing FILE"},
      {{"view", path, "--format", "xml"},
       "torvdoc-cli: --format is text, csv, json or rtf, not \"xml\""},
      {{"info", path, "--format", "csv"}, "torvdoc-cli: --format is text or json, not \"csv\""},
      {{"info", path, "--format", "json", "--encoding", "cp1251"},
       "torvdoc-cli: --encoding applies only to --format text"},
      {{"report", path, "--bom"}, "torvdoc-cli: --bom needs --format csv"},
      {{"report", path, "--format", "json", "--encoding", "cp1251"},
       "torvdoc-cli: --encoding applies only to --format text"},
      {{"view", path, "-o", "x.dat", "--output", "y.dat"},
       "torvdoc-cli: option --output given twice"},
      {{"view", path, "-o"}, "torvdoc-cli: option -o wants a value"},
      {{"sample", "x.dat", "-o", "y.dat"}, "torvdoc-cli: unknown option \"-o\""},
  };
  for (const UsageCase& usage : cases) {
    SCOPED_TRACE(usage.firstLine);
    const ProcessResult result = Run(usage.args);
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.out, "");
    // One line on the fault and one on where to read more, not the whole help.
    const bool knownCommand = !usage.args.empty() && usage.args[0] != "show";
    const std::string help =
        knownCommand ? "torvdoc-cli " + usage.args[0] + " --help" : "torvdoc-cli --help";
    EXPECT_EQ(result.err, usage.firstLine + "\nTry '" + help + "'.\n");
  }
  EXPECT_FALSE(std::filesystem::exists(folder_.path() / "x.dat"));
  EXPECT_FALSE(std::filesystem::exists(folder_.path() / "y.dat"));
}

TEST_F(CliProcessTest, UsageIsCheckedBeforeTheArchiveIsRead) {
  const ProcessResult result = Run({"view", "missing.dat", "--block", "99"});
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_EQ(result.out, "");
}

TEST_F(CliProcessTest, HelpGoesToStandardOutput) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"--help"}, "Usage: torvdoc-cli COMMAND ARGS..."},
      {{"view", "--help"},
       "Usage: torvdoc-cli view FILE [--block K | --date DD.MM | --input N] [--steps SEQ]"},
      {{"view", "some.dat", "--block", "3", "--help"},
       "Usage: torvdoc-cli view FILE [--block K | --date DD.MM | --input N] [--steps SEQ]"},
      {{"report", "--help"}, "Usage: torvdoc-cli report FILE [--format text|csv|json|rtf] [--bom]"},
      {{"info", "--help"}, "Usage: torvdoc-cli info FILE... [--format text|json] [-o PATH]"},
      {{"sample", "--help"}, "Usage: torvdoc-cli sample OUT [--seed N] [--fill N] [--force]"},
      {{"sample", "-h"}, "Usage: torvdoc-cli sample OUT [--seed N] [--fill N] [--force]"},
      {{"help", "info"}, "Usage: torvdoc-cli info FILE... [--format text|json] [-o PATH]"},
      {{"-h"}, "Usage: torvdoc-cli COMMAND ARGS..."},
      {{"help"}, "Usage: torvdoc-cli COMMAND ARGS..."},
  };
  for (const auto& [args, firstLine] : cases) {
    SCOPED_TRACE(firstLine);
    const ProcessResult result = Run(args);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(SplitLines(result.out).at(0), firstLine);
  }
}

// --- whole-archive report ---

TEST_F(CliProcessTest, ReportHoldsAllBlocksNewestFirst) {
  const std::string path = Write("ladder.dat", LadderArchive());
  const ProcessResult result = Run({"report", path});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.err, "");
  // Block 1 is slots 99 down to 84, block 64 ends at slot 100: every slot,
  // going back from the newest one.
  std::vector<int> slots;
  for (int block = 1; block <= kBlockCount; ++block) {
    for (int k : LadderBlockSlots(block)) slots.push_back(k);
  }
  for (int i = 0; i < kRecordCount; ++i) ASSERT_EQ(slots[i], Slot(kLadderNewestSlot - i));
  EXPECT_EQ(result.out, ReportText(Status(path), slots));
  const std::vector<std::string> lines = SplitLines(result.out);
  ASSERT_EQ(lines.size(), 4u + 1024u);
  EXPECT_EQ(lines[4], "Норма           \t\t5           \t\t01:39:07\t\t03.04");
  EXPECT_EQ(lines.back(), "Пред. сигн.     \t\t1           \t\t01:40:07\t\t03.04");
}

TEST_F(CliProcessTest, ReportOfAPartlyWrittenArchiveHoldsItsEmptyRows) {
  const std::string path = Write("partial.dat", PartialArchive());
  const ProcessResult result = Run({"report", path});
  EXPECT_EQ(result.exitCode, 0);
  const std::vector<std::string> lines = SplitLines(result.out);
  ASSERT_EQ(lines.size(), 1028u);
  EXPECT_EQ(lines[0], Status(path));
  EXPECT_EQ(lines[3], kHeaderLine);
  EXPECT_EQ(lines[4], LadderLine(19));
  EXPECT_EQ(lines[4 + 14], "**НЕКОРР ЗАП.**\t\t\t\t\t\t");  // slot 5
  EXPECT_EQ(lines[4 + 19], LadderLine(0));
  // Then slots 1023 down to 20, never written (slot 30 holds only a spare byte).
  int emptyRows = 0;
  for (std::size_t i = 4 + 20; i < lines.size(); ++i) emptyRows += lines[i] == kEmptyRowLine;
  EXPECT_EQ(emptyRows, 1004);
}

TEST_F(CliProcessTest, ReportInCp1251) {
  const std::string path = Write("ladder.dat", LadderArchive());
  const ProcessResult result = Run({"report", path, "--encoding", "cp1251"});
  EXPECT_EQ(result.exitCode, 0);
  const std::vector<std::string> lines = SplitLines(result.out);
  ASSERT_EQ(lines.size(), 1028u);
  EXPECT_EQ(lines[0], "\xC0\xF0\xF5\xE8\xE2: \xF4\xE0\xE9\xEB " + path);
  // Row 102 is slot 1021: relay 2 switched on, 17:01:07 on 26.04.
  EXPECT_EQ(lines[4 + 102],
            "\xC2\xEA\xEB\xFE\xF7\xE5\xED\xE8\xE5 \xF0\xE5\xEB\xE5\t\t\xF0\xE5\xEB\xE5 2\t\t"
            "17:01:07\t\t26.04");
}

// --- sample ---

TEST_F(CliProcessTest, SampleWritesTheGeneratedArchive) {
  const ProcessResult result = Run({"sample", "out.dat"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "");
  const std::string bytes = cli_testing::ReadWholeFile(folder_.path() / "out.dat");
  ASSERT_EQ(bytes.size(), 8196u);
  const std::vector<std::uint8_t> generated =
      GenerateArchive(SampleOptions{.seed = 1, .fill = 1500});
  EXPECT_EQ(bytes, std::string(generated.begin(), generated.end()));
  // 1500 records: the ring wrapped once, the next slot is 1500 - 1024 = 476.
  EXPECT_EQ(bytes.substr(8192), std::string("\xE0\x0E\x00\x00", 4));
}

TEST_F(CliProcessTest, SampleTakesSeedAndFill) {
  ASSERT_EQ(Run({"sample", "a.dat", "--seed", "7", "--fill", "300"}).exitCode, 0);
  const std::string bytes = cli_testing::ReadWholeFile(folder_.path() / "a.dat");
  ASSERT_EQ(bytes.size(), 8196u);
  const std::vector<std::uint8_t> generated =
      GenerateArchive(SampleOptions{.seed = 7, .fill = 300});
  EXPECT_EQ(bytes, std::string(generated.begin(), generated.end()));
  EXPECT_EQ(bytes.substr(8192), std::string("\x60\x09\x00\x00", 4));  // 300 * 8 = 2400
  // Slots 300 and on were never written.
  EXPECT_EQ(bytes.substr(300 * 8, 8192 - 300 * 8), std::string(8192 - 300 * 8, '\0'));
}

TEST_F(CliProcessTest, SampleIsTheSameForTheSameSeed) {
  ASSERT_EQ(Run({"sample", "a.dat", "--seed", "123", "--fill", "2000"}).exitCode, 0);
  ASSERT_EQ(Run({"sample", "b.dat", "--fill", "2000", "--seed", "123"}).exitCode, 0);
  ASSERT_EQ(Run({"sample", "c.dat", "--seed", "124", "--fill", "2000"}).exitCode, 0);
  const std::string a = cli_testing::ReadWholeFile(folder_.path() / "a.dat");
  const std::string b = cli_testing::ReadWholeFile(folder_.path() / "b.dat");
  const std::string c = cli_testing::ReadWholeFile(folder_.path() / "c.dat");
  ASSERT_EQ(a.size(), 8196u);
  EXPECT_TRUE(a == b) << "seed 123 gave two different archives";
  // Another seed changes the records but not how many were written.
  EXPECT_NE(a.substr(0, 8192), c.substr(0, 8192));
  EXPECT_EQ(a.substr(8192), c.substr(8192));
  EXPECT_EQ(a.substr(8192), std::string("\x80\x1E\x00\x00", 4));  // (2000 - 1024) * 8 = 7808
}

TEST_F(CliProcessTest, SampleWithFillZeroIsAnEmptyArchive) {
  ASSERT_EQ(Run({"sample", "empty.dat", "--fill", "0"}).exitCode, 0);
  ExpectMessage(Run({"view", "empty.dat"}), "empty.dat", "архив пуст");
}

TEST_F(CliProcessTest, SampleReplacesAnExistingFileOnlyWithForce) {
  Write("out.dat", std::vector<std::uint8_t>(10, 0xAA));
  const ProcessResult refused = Run({"sample", "out.dat", "--seed", "2"});
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_EQ(refused.out, "");
  EXPECT_EQ(refused.err, "torvdoc-cli: out.dat: already exists; --force replaces it\n");
  EXPECT_EQ(cli_testing::ReadWholeFile(folder_.path() / "out.dat"), std::string(10, '\xAA'));

  ASSERT_EQ(Run({"sample", "out.dat", "--seed", "2", "--force"}).exitCode, 0);
  const std::vector<std::uint8_t> generated = GenerateArchive(SampleOptions{.seed = 2});
  EXPECT_EQ(cli_testing::ReadWholeFile(folder_.path() / "out.dat"),
            std::string(generated.begin(), generated.end()));
}

TEST_F(CliProcessTest, SampleIntoAMissingFolderFails) {
  const std::string target = (folder_.path() / "no-such-folder" / "out.dat").string();
  const ProcessResult result = Run({"sample", target});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "torvdoc-cli: " + target + ": cannot write: No such file or directory\n");
  EXPECT_FALSE(std::filesystem::exists(target));
}

TEST_F(CliProcessTest, GeneratedArchiveViewsLikeAHandBuiltOne) {
  // The generator's file is a valid archive: its newest block views cleanly.
  ASSERT_EQ(Run({"sample", "gen.dat", "--seed", "4", "--fill", "1700"}).exitCode, 0);
  const ProcessResult result = Run({"view", "gen.dat"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(SplitLines(result.out).size(), 20u);
}

}  // namespace
}  // namespace torv
