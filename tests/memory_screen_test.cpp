#include "cli/memory_screen.h"

#include <gtest/gtest.h>

#include "archive/sample_archive.h"
#include "archive/view_engine.h"
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

}  // namespace
}  // namespace torv
