#include "report/report_builder.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "archive/sample_archive.h"
#include "archive/view_engine.h"
#include "recording_screen.h"
#include "temp_archive.h"

namespace torv {
namespace {

using testing::RecordingScreen;
using testing::TempFolder;

const std::string k11Spaces(11, ' ');
const std::string kHeaderLine = "Событие\t\tНомер входа\t\t Время\t\tДата";

TEST(FormatReportLineTest, TwoTabsBetweenCellsAndCellsUnchanged) {
  EXPECT_EQ(FormatReportLine({"Норма           ", "1" + k11Spaces, "07:05:30", "05.11"}),
            "Норма           \t\t1" + k11Spaces + "\t\t07:05:30\t\t05.11");
  EXPECT_EQ(FormatReportLine(EventTableHeader()), kHeaderLine);
  EXPECT_EQ(FormatReportLine(EventRow{}), "\t\t\t\t\t\t");
  EXPECT_EQ(FormatReportLine({"Включение  ИМ", k11Spaces, " ", ""}),
            "Включение  ИМ\t\t" + k11Spaces + "\t\t \t\t");
}

class ReportBuilderTest : public ::testing::Test {
 protected:
  void UseArchive(const std::vector<std::uint8_t>& bytes) {
    state.ArchiveFileName = folder.Write("archive.dat", bytes);
  }
  TempFolder folder;
  ViewState state;
  RecordingScreen screen;
};

TEST_F(ReportBuilderTest, TableReportBeforeAnyView) {
  EXPECT_EQ(BuildTableReport(screen, state),
            (ReportLines{"Документирование", "\n", "\t\t\t\t\t\t"}));
  EXPECT_EQ(JoinReportLines(BuildTableReport(screen, state)), "Документирование\n\n\n\t\t\t\t\t\t");
}

TEST_F(ReportBuilderTest, TableReportOfABlockAndOfAnInputView) {
  ArchiveBuilder builder;
  for (int slot = 0; slot < 5; ++slot) builder.SetSlot(slot * 7, MakeRecord(1, 4, 1, 2, 3, 4, 5));
  builder.SetWriteOffset(8 * 40);
  UseArchive(builder.Bytes());
  state.BlocksBack = 1;
  ASSERT_EQ(Button1Click(state, screen), ViewResult::kShown);
  ReportLines lines = BuildTableReport(screen, state);
  ASSERT_EQ(lines.size(), 3u + 16u);
  EXPECT_EQ(lines[0], "Архив: файл " + state.ArchiveFileName);
  EXPECT_EQ(lines[2], kHeaderLine);
  EXPECT_EQ(lines[3], "\t\t\t\t\t\t");  // slot 39, never written
  EXPECT_EQ(lines[14], "Пред. сигн.     \t\t5" + k11Spaces + "\t\t01:02:03\t\t04.05");  // slot 28

  state.InputNumber = 5;
  state.InputFilterPending = 1;
  ASSERT_EQ(Button1Click(state, screen), ViewResult::kShown);
  lines = BuildTableReport(screen, state);
  ASSERT_EQ(lines.size(), 3u + 5u);
  EXPECT_EQ(lines[0], "Архив: файл " + state.ArchiveFileName + " вход № 5");
  for (std::size_t i = 3; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i], "Пред. сигн.     \t\t5" + k11Spaces + "\t\t01:02:03\t\t04.05");
  }
}

TEST_F(ReportBuilderTest, ViewReportIsTheTableReportOfTheSameView) {
  UseArchive(GenerateArchive({.seed = 3, .fill = 200}));
  state.InputNumber = 2;
  state.InputFilterPending = 1;
  const ViewOutcome view = RequestView(state, PendingRequest(state));
  ASSERT_TRUE(view.Shown());
  ASSERT_EQ(Button1Click(state, screen), ViewResult::kShown);
  const ReportLines lines = BuildViewReport(view);
  EXPECT_EQ(lines, BuildTableReport(screen, state));
  ASSERT_EQ(lines.size(), 3 + view.rows.size());
  EXPECT_EQ(lines[0], "Архив: файл " + state.ArchiveFileName + " вход № 2");
  EXPECT_EQ(lines[2], kHeaderLine);
}

TEST_F(ReportBuilderTest, WholeArchiveHoldsEveryRecordNewestBlockFirst) {
  // Slot k's time tells the slot: hours k / 100, minutes k % 100.
  ArchiveBuilder builder;
  for (int slot = 0; slot < kRecordCount; ++slot) {
    builder.SetSlot(slot, MakeRecord(4, 0, static_cast<std::uint8_t>(slot / 100),
                                     static_cast<std::uint8_t>(slot % 100), 0, 1, 2));
  }
  builder.SetWriteOffset(8 * 500);
  UseArchive(builder.Bytes());
  state.BlocksBack = 64;

  const WholeArchiveReport report = BuildWholeArchiveReport(state);
  ASSERT_FALSE(report.message);
  const ReportLines& lines = report.lines;
  ASSERT_EQ(lines.size(), 3u + 1024u);
  EXPECT_EQ(lines[0], "Архив: файл " + state.ArchiveFileName);
  EXPECT_EQ(lines[1], "\n");
  EXPECT_EQ(lines[2], kHeaderLine);
  const std::vector<ViewRow> rows = report.ReportedRows();
  ASSERT_EQ(rows.size(), 1024u);
  for (int i = 0; i < kRecordCount; ++i) {
    const int slot = ((499 - i) % 1024 + 1024) % 1024;
    const std::string time = (slot / 100 < 10 ? "0" : "") + std::to_string(slot / 100) + ":" +
                             (slot % 100 < 10 ? "0" : "") + std::to_string(slot % 100) + ":00";
    ASSERT_EQ(lines[3 + i], "Отключение ИМ\t\t" + k11Spaces + "\t\t" + time + "\t\t01.02") << i;
    ASSERT_EQ(rows[i].shown.offset, slot * 8) << i;
    ASSERT_EQ(FormatReportLine(rows[i].cells), lines[3 + i]) << i;
  }
  // 65 views: the newest block, 63 steps back to the oldest, and one more
  // step that is back at the newest block; BlocksBack stays 1.
  ASSERT_EQ(report.views.size(), 65u);
  const ViewOutcome& last = report.views.back();
  EXPECT_EQ(last.rows[0].cells[2], "04:99:00");
  EXPECT_EQ(last.status, "Архив: файл " + state.ArchiveFileName + "  время: 04:99:00 01.02");
  EXPECT_EQ(state.BlocksBack, 1);
  EXPECT_EQ(state.ReadOffset, (499 - 16) * 8);
  EXPECT_EQ(state.ShownRowCount, 16);
  EXPECT_TRUE(report.views.front().enablesStepButtons);
  EXPECT_FALSE(last.enablesStepButtons);
}

TEST_F(ReportBuilderTest, WholeArchiveWithoutFileNameRequestsNoView) {
  state.StepBackwardPending = 1;
  const WholeArchiveReport report = BuildWholeArchiveReport(state);
  EXPECT_EQ(report.message, "Не задано имя файла архива");
  EXPECT_TRUE(report.views.empty());
  EXPECT_TRUE(report.lines.empty());
  EXPECT_EQ(state.BlocksBack, 0);
  EXPECT_EQ(state.StepBackwardPending, 1);
}

TEST_F(ReportBuilderTest, WholeArchiveStopsAtTheFirstFailingView) {
  UseArchive(GenerateArchive({.seed = 1, .fill = 100}));
  state.BlocksBack = 1;
  ASSERT_EQ(Button1Click(state, screen), ViewResult::kShown);
  std::filesystem::remove(state.ArchiveFileName);
  WholeArchiveReport report = BuildWholeArchiveReport(state);
  EXPECT_EQ(report.message, "Архив не удается открыть");
  ASSERT_EQ(report.views.size(), 1u);
  ASSERT_TRUE(report.views[0].readFailure);
  EXPECT_EQ(report.views[0].readFailure->reason, "No such file or directory");
  EXPECT_TRUE(report.lines.empty());

  UseArchive(GenerateArchive({.seed = 1, .fill = 0}));
  report = BuildWholeArchiveReport(state);
  EXPECT_EQ(report.message, "архив пуст");
  EXPECT_TRUE(report.lines.empty());
}

TEST_F(ReportBuilderTest, APendingRequestDecidesTheFirstViewOfTheWholeArchive) {
  // A date search left pending (its picker never had the focus) runs first;
  // the passes then step back from the block it found.
  ArchiveBuilder builder;
  for (int slot = 0; slot < kRecordCount; ++slot) {
    builder.SetSlot(slot, MakeRecord(4, 0, 1, 2, 3, static_cast<std::uint8_t>(1 + slot / 100), 7));
  }
  UseArchive(builder.SetWriteOffset(8 * 1000).Bytes());
  state.SearchDateKey = "05.07";
  state.DateSearchPending = 1;
  const WholeArchiveReport report = BuildWholeArchiveReport(state);
  ASSERT_FALSE(report.message);
  EXPECT_EQ(report.lines[0], "Архив: файл " + state.ArchiveFileName + "  05.07");
  const std::vector<ViewRow> rows = report.ReportedRows();
  ASSERT_EQ(rows.size(), 1024u);
  EXPECT_EQ(rows[0].shown.offset, 499 * 8);  // the newest record of day 5
  EXPECT_EQ(rows[1023].shown.offset, 500 * 8);
  EXPECT_EQ(state.DateSearchPending, 0);
}

}  // namespace
}  // namespace torv
