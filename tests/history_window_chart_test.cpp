// The chart above the history window's table, offscreen over a real SQLite
// store: its bars count what the table lists, a bar clicked or a drag over
// bars lists their days, "Назад" goes back, and the switch is remembered.
#include "history_ui/history_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHelpEvent>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QToolTip>

#include <gtest/gtest.h>

#include <numeric>

#include "fake_history_prompts.h"
#include "history_print/chart_drawing.h"
#include "history_report/event_time.h"
#include "history_test_support.h"
#include "history_window_support.h"
#include "models/device_simulation.h"

namespace torv {
namespace {

using history::testing::Backend;
using history::testing::TestStore;
using torv::testing::FakeHistoryPrompts;
using torv::testing::TempFolder;

QDate DateOfDay(std::int64_t day) {
  const history::CalendarDate date = CivilFromDays(day);
  return {date.year, date.month, date.day};
}

std::int64_t ChartTotal(const ChartData& chart) {
  return std::accumulate(chart.bars.begin(), chart.bars.end(), chart.undated,
                         [](std::int64_t sum, const ChartBar& bar) { return sum + bar.Total(); });
}

class HistoryWindowChartTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString((folder_.path() / "config").string()));
    QSettings(QStringLiteral("torvdoc"), QStringLiteral("torvdoc-history")).clear();
    auto store = test_.Open();
    ASSERT_TRUE(store);
    history::SimulationOptions options;
    options.seed = 9;
    options.startUnixSeconds = 1735200000;  // 26 December 2024
    options.maxStepSeconds = 20000;         // more than 200 days: bars of weeks
    history::SimulatedDevice device(options);
    for (const int written : {1000, 1800, 600}) {  // the second copy leaves a hole
      device.Write(written);
      ASSERT_TRUE(store->Import("3", device.CopyNow()).ok());
    }
  }

  std::unique_ptr<HistoryWindow> ShowWindow() {
    auto window = std::make_unique<HistoryWindow>(prompts_);
    window->show();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window.get(), 30000));
    window->OpenStore(test_.location());
    return window;
  }

  // The first bar with events from `from` on.
  static std::size_t BarWithEvents(const ChartData& chart, std::size_t from) {
    while (from < chart.bars.size() && chart.bars[from].Total() == 0) ++from;
    return from;
  }

  TempFolder folder_;
  TestStore test_{Backend::kSqlite};
  FakeHistoryPrompts prompts_;
};

TEST_F(HistoryWindowChartTest, TheBarsCountWhatTheTableLists) {
  auto window = ShowWindow();
  ChartView* chart = window->Ui().Chart;
  ASSERT_TRUE(chart->isVisible());
  EXPECT_EQ(chart->height(), 160);
  EXPECT_EQ(chart->Chart().bin, ChartBin::kWeek);
  EXPECT_FALSE(chart->Chart().holes.empty());
  ASSERT_GT(window->Events().EventCount(), 0);
  EXPECT_EQ(ChartTotal(chart->Chart()), window->Events().EventCount());

  // Another filter: the chart is read again with the listing.
  window->Ui().Types[0]->setChecked(false);
  const auto count = test_.Open()->Count(window->CurrentQuery());
  ASSERT_TRUE(count.ok());
  EXPECT_EQ(window->Events().EventCount(), *count);
  EXPECT_EQ(ChartTotal(chart->Chart()), *count);
  EXPECT_EQ(std::accumulate(chart->Chart().bars.begin(), chart->Chart().bars.end(), std::int64_t{0},
                            [](std::int64_t sum, const ChartBar& bar) {
                              return sum + bar.counts[static_cast<std::size_t>(ChartStack::kAlarm)];
                            }),
            0);
}

TEST_F(HistoryWindowChartTest, ABarClickedListsItsDaysAndBackReturns) {
  auto window = ShowWindow();
  ChartView* chart = window->Ui().Chart;
  const std::int64_t everything = window->Events().EventCount();
  EXPECT_FALSE(window->Ui().Back->isEnabled());

  const std::size_t week = BarWithEvents(chart->Chart(), 3);
  ASSERT_LT(week, chart->Chart().bars.size());
  const ChartBar clicked = chart->Chart().bars[week];
  QTest::mouseClick(chart, Qt::LeftButton, {}, chart->BarCentre(week));
  EXPECT_EQ(window->Ui().Period->currentIndex(), static_cast<int>(PeriodChoice::kDates));
  EXPECT_EQ(window->Ui().From->date(), DateOfDay(clicked.firstDay));
  EXPECT_EQ(window->Ui().To->date(), DateOfDay(clicked.lastDay));
  EXPECT_EQ(window->Ui().To->date(), window->Ui().From->date().addDays(6));
  EXPECT_TRUE(window->Ui().From->isEnabled());
  EXPECT_EQ(window->Events().EventCount(), clicked.Total());
  // The week's days, one bar each.
  ASSERT_EQ(chart->Chart().bin, ChartBin::kDay);
  ASSERT_EQ(chart->Chart().bars.size(), 7u);
  EXPECT_EQ(ChartTotal(chart->Chart()), clicked.Total());
  EXPECT_TRUE(window->Ui().Back->isEnabled());

  // A drag from the fifth day back to the second lists those four days.
  const ChartData days = chart->Chart();
  QTest::mousePress(chart, Qt::LeftButton, {}, chart->BarCentre(4));
  QTest::mouseMove(chart, chart->BarCentre(3));
  QTest::mouseRelease(chart, Qt::LeftButton, {}, chart->BarCentre(1));
  EXPECT_EQ(window->Ui().From->date(), DateOfDay(days.bars[1].firstDay));
  EXPECT_EQ(window->Ui().To->date(), DateOfDay(days.bars[4].lastDay));
  EXPECT_EQ(window->Events().EventCount(), days.bars[1].Total() + days.bars[2].Total() +
                                               days.bars[3].Total() + days.bars[4].Total());

  QTest::mouseClick(window->Ui().Back, Qt::LeftButton);
  EXPECT_EQ(window->Ui().Period->currentIndex(), static_cast<int>(PeriodChoice::kDates));
  EXPECT_EQ(window->Ui().From->date(), DateOfDay(clicked.firstDay));
  EXPECT_EQ(window->Ui().To->date(), DateOfDay(clicked.lastDay));
  EXPECT_EQ(window->Events().EventCount(), clicked.Total());
  QTest::mouseClick(window->Ui().Back, Qt::LeftButton);
  EXPECT_EQ(window->Ui().Period->currentIndex(), static_cast<int>(PeriodChoice::kAll));
  EXPECT_FALSE(window->Ui().From->isEnabled());
  EXPECT_EQ(window->Events().EventCount(), everything);
  EXPECT_EQ(chart->Chart().bin, ChartBin::kWeek);
  EXPECT_FALSE(window->Ui().Back->isEnabled());
}

TEST_F(HistoryWindowChartTest, AWeekAtTheEdgeOfThePeriodListsOnlyThePeriodsDays) {
  auto window = ShowWindow();
  // 1 January 2025 was a Wednesday: the period's first week starts on the
  // Monday before, which is not the period's.
  window->SetPeriod(PeriodChoice::kDates);
  window->Ui().From->setDate(QDate(2025, 1, 1));
  window->Ui().To->setDate(QDate(2025, 12, 31));
  ChartView* chart = window->Ui().Chart;
  ASSERT_EQ(chart->Chart().bin, ChartBin::kWeek);
  ASSERT_EQ(DateOfDay(chart->Chart().bars.front().firstDay), QDate(2024, 12, 30));
  QTest::mouseClick(chart, Qt::LeftButton, {}, chart->BarCentre(0));
  EXPECT_EQ(window->Ui().From->date(), QDate(2025, 1, 1));
  EXPECT_EQ(window->Ui().To->date(), QDate(2025, 1, 5));
  QTest::mouseClick(window->Ui().Back, Qt::LeftButton);
  EXPECT_EQ(window->Ui().From->date(), QDate(2025, 1, 1));
  EXPECT_EQ(window->Ui().To->date(), QDate(2025, 12, 31));
}

TEST_F(HistoryWindowChartTest, ThePointedBarTellsItsCounts) {
  auto window = ShowWindow();
  ChartView* chart = window->Ui().Chart;
  const std::size_t bar = BarWithEvents(chart->Chart(), 0);
  ASSERT_LT(bar, chart->Chart().bars.size());
  const QPoint at = chart->BarCentre(bar);
  QHelpEvent help(QEvent::ToolTip, at, chart->mapToGlobal(at));
  QApplication::sendEvent(chart, &help);
  EXPECT_EQ(QToolTip::text(), ChartBarText(chart->Chart().bars[bar]));
  EXPECT_TRUE(QToolTip::text().contains(
      QStringLiteral(": всего %1").arg(chart->Chart().bars[bar].Total())));
  QToolTip::hideText();
}

TEST_F(HistoryWindowChartTest, TheChartSwitchIsRemembered) {
  {
    auto window = ShowWindow();
    ASSERT_TRUE(window->Ui().ShowChart->isChecked());
    window->Ui().ShowChart->setChecked(false);
    EXPECT_FALSE(window->Ui().Chart->isVisible());
    window->close();
  }
  auto window = ShowWindow();
  EXPECT_FALSE(window->Ui().ShowChart->isChecked());
  EXPECT_FALSE(window->Ui().Chart->isVisible());
  // Hidden, it is not read; shown again, it is.
  EXPECT_TRUE(window->Ui().Chart->Chart().bars.empty());
  window->Ui().ShowChart->setChecked(true);
  EXPECT_TRUE(window->Ui().Chart->isVisible());
  EXPECT_EQ(ChartTotal(window->Ui().Chart->Chart()), window->Events().EventCount());
}

}  // namespace
}  // namespace torv
