#include "cli/memory_screen.h"

#include <gtest/gtest.h>

#include "archive/sample_archive.h"
#include "archive/view_engine.h"
#include "cli/shown_rows.h"
#include "cli_test_support.h"
#include "report/report_builder.h"

namespace torv {
namespace {

TEST(MemoryScreenTest, StartsLikeTheWindow) {
  const MemoryScreen screen;
  EXPECT_EQ(screen.StatusText(), "Документирование");
  EXPECT_EQ(screen.NewestRecordText(), "");
  EXPECT_FALSE(screen.StepButtonsEnabled());
  EXPECT_TRUE(screen.Messages().empty());
  ASSERT_EQ(screen.Rows().size(), 17u);
  for (const EventRow& row : screen.Rows()) EXPECT_EQ(row, EventRow{});
}

TEST(MemoryScreenTest, TableReportBeforeAnyViewHasAHeaderOfSixTabs) {
  const MemoryScreen screen;
  const ViewState state;
  EXPECT_EQ(JoinReportLines(BuildTableReport(screen, state)), "Документирование\n\n\n\t\t\t\t\t\t");
}

TEST(MemoryScreenTest, KeepsWhatItIsGiven) {
  MemoryScreen screen;
  screen.SetStatusText("Архив: файл /a.dat");
  screen.SetNewestRecordText("14:03:07 05.11");
  screen.EnableStepButtons();
  screen.ShowMessage("архив пуст");
  screen.ShowMessage("нет событий");
  screen.SetTableRows({{"Событие", "Номер входа", " Время", "Дата"},
                       {"Норма           ", "2           ", "14:03:07", "05.11"}});

  EXPECT_EQ(screen.StatusText(), "Архив: файл /a.dat");
  EXPECT_EQ(screen.NewestRecordText(), "14:03:07 05.11");
  EXPECT_TRUE(screen.StepButtonsEnabled());
  EXPECT_EQ(screen.Messages(), (std::vector<std::string>{"архив пуст", "нет событий"}));
  ASSERT_EQ(screen.Rows().size(), 2u);
  EXPECT_EQ(screen.TableRow(0), (EventRow{"Событие", "Номер входа", " Время", "Дата"}));
  EXPECT_EQ(screen.TableRow(1),
            (EventRow{"Норма           ", "2           ", "14:03:07", "05.11"}));

  screen.DisableStepButtons();
  EXPECT_FALSE(screen.StepButtonsEnabled());
}

TEST(MemoryScreenTest, RowsOutsideTheTableReadEmpty) {
  MemoryScreen screen;
  screen.SetTableRows({{"a", "b", "c", "d"}});
  EXPECT_EQ(screen.TableRow(0), (EventRow{"a", "b", "c", "d"}));
  EXPECT_EQ(screen.TableRow(1), EventRow{});
  EXPECT_EQ(screen.TableRow(-1), EventRow{});
}

TEST(MemoryScreenTest, TheEngineWritesThroughIt) {
  cli_testing::ScratchFolder folder;
  ArchiveBuilder builder;
  builder.SetSlot(2, MakeRecord(1, 6, 14, 3, 7, 5, 11));
  ViewState state;
  state.ArchiveFileName = folder.Write("a.dat", builder.SetWriteOffset(24).Bytes());
  state.BlocksBack = 1;
  MemoryScreen screen;

  ASSERT_EQ(Button1Click(state, screen), ViewResult::kShown);
  EXPECT_EQ(screen.StatusText(), "Архив: файл " + state.ArchiveFileName);
  EXPECT_EQ(screen.NewestRecordText(), "14:03:07 05.11");
  EXPECT_TRUE(screen.StepButtonsEnabled());
  ASSERT_EQ(screen.Rows().size(), 17u);
  EXPECT_EQ(screen.TableRow(1),
            (EventRow{"Пред. сигн.     ", "7           ", "14:03:07", "05.11"}));
  EXPECT_EQ(screen.TableRow(2), EventRow{});

  state.InputNumber = 3;
  state.InputFilterPending = 1;
  EXPECT_EQ(Button1Click(state, screen), ViewResult::kMessage);
  EXPECT_EQ(screen.Messages(), std::vector<std::string>{"нет событий"});
  EXPECT_EQ(screen.TableRow(1),
            (EventRow{"Пред. сигн.     ", "7           ", "14:03:07", "05.11"}));
}

TEST(MemoryScreenTest, KeepsTheRecordsBehindTheRowsWithTheirOffsets) {
  cli_testing::ScratchFolder folder;
  ArchiveBuilder builder;
  builder.SetSlot(2, MakeRecord(1, 6, 14, 3, 7, 5, 11, 0x42));
  builder.SetSlot(1, MakeRecord(2, 6, 13, 0, 0, 5, 11));
  builder.SetSlot(1000, MakeRecord(2, 6, 1, 2, 3, 4, 5));
  ViewState state;
  state.ArchiveFileName = folder.Write("a.dat", builder.SetWriteOffset(24).Bytes());
  MemoryScreen screen;
  EXPECT_TRUE(screen.ShownRecords().empty());

  state.InputNumber = 7;
  state.InputFilterPending = 1;
  ASSERT_EQ(Button1Click(state, screen), ViewResult::kShown);
  ASSERT_EQ(screen.ShownRecords().size(), 3u);
  EXPECT_EQ(screen.ShownRecords()[0].offset, 16);
  EXPECT_EQ(screen.ShownRecords()[0].record, MakeRecord(1, 6, 14, 3, 7, 5, 11, 0x42));
  EXPECT_EQ(screen.ShownRecords()[1].offset, 8);
  EXPECT_EQ(screen.ShownRecords()[2].offset, 8000);

  const std::vector<ExportedRow> rows = ShownRows(screen, state.ShownRowCount);
  ASSERT_EQ(rows.size(), 3u);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i].shown.offset, screen.ShownRecords()[i].offset);
    EXPECT_EQ(rows[i].cells, screen.TableRow(static_cast<int>(i) + 1));
  }
  EXPECT_EQ(rows[2].cells, (EventRow{"Авар. сигн. ", "7           ", "01:02:03", "04.05"}));
  // Only as many rows as the report reads.
  EXPECT_EQ(ShownRows(screen, 2).size(), 2u);
  EXPECT_TRUE(ShownRows(screen, 0).empty());
}

TEST(ShownRowsTest, DescribesTheViewAskedFor) {
  CliOptions options;
  options.blocksBack = 5;
  options.steps = "bbf";
  const ViewDescription block = DescribeView(options);
  EXPECT_EQ(block.kind, "block");
  EXPECT_EQ(block.block, 5);
  EXPECT_EQ(block.date, std::nullopt);
  EXPECT_EQ(block.input, std::nullopt);
  EXPECT_EQ(block.steps, "bbf");

  options.viewKind = ViewKind::kDate;
  options.dateKey = "05.11";
  const ViewDescription date = DescribeView(options);
  EXPECT_EQ(date.kind, "date");
  EXPECT_EQ(date.block, std::nullopt);
  EXPECT_EQ(date.date, "05.11");

  options.viewKind = ViewKind::kInput;
  options.inputNumber = 12;
  options.steps.clear();
  const ViewDescription input = DescribeView(options);
  EXPECT_EQ(input.kind, "input");
  EXPECT_EQ(input.input, 12);
  EXPECT_EQ(input.date, std::nullopt);

  const ViewDescription report = DescribeReport();
  EXPECT_EQ(report.kind, "report");
  EXPECT_EQ(report.block, std::nullopt);
  EXPECT_EQ(report.steps, "");
}

}  // namespace
}  // namespace torv
