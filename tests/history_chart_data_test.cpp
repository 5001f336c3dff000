// The chart's bars against the listing: every bar's stacks equal the events
// the listing of the same query shows in the bar's days, on both stores.
#include "history_report/chart_data.h"

#include <gtest/gtest.h>

#include "history_report/event_time.h"
#include "history_test_support.h"
#include "models/device_simulation.h"

namespace torv {
namespace {

TEST(ChartBinTest, TwentyToTwoHundredBars) {
  const std::int64_t day = DaysFromCivil(2024, 3, 1);
  const struct {
    std::int64_t days;
    ChartBin bin;
  } cases[] = {{1, ChartBin::kDay},     {200, ChartBin::kDay},    {201, ChartBin::kWeek},
               {1400, ChartBin::kWeek}, {1401, ChartBin::kMonth}, {3650, ChartBin::kMonth}};
  for (const auto& c : cases) {
    EXPECT_EQ(ChooseChartBin(day, day + c.days - 1), c.bin) << c.days;
  }
  EXPECT_EQ(ChartBinNamed("week"), ChartBin::kWeek);
  EXPECT_EQ(ChartBinNamed("year"), std::nullopt);
}

class ChartDataTest : public ::testing::TestWithParam<history::testing::Backend> {};

TEST_P(ChartDataTest, BarsCountWhatTheListingShows) {
  history::testing::TestStore test(GetParam());
  auto store = test.Open();
  ASSERT_TRUE(store);
  history::SimulationOptions options;
  options.seed = 9;
  options.maxStepSeconds = 20000;  // more than 200 days in the history
  history::SimulatedDevice device(options);
  for (const int written : {1000, 1800, 600}) {  // the second copy leaves a hole
    device.Write(written);
    ASSERT_TRUE(store->Import("sim", device.CopyNow()).ok());
  }

  history::EventQuery alarmsAndRelays;
  alarmsAndRelays.types = {EventType::kAlarm};
  alarmsAndRelays.kinds = {EventKind::kRelay};
  history::EventQuery winter;
  winter.from = history::CalendarDate{2024, 1, 10};
  winter.to = history::CalendarDate{2024, 2, 20};
  const struct {
    const char* name;
    history::EventQuery query;
    std::optional<ChartBin> bin;
    ChartBin expected;
  } cases[] = {
      {"everything, chosen bin", {}, std::nullopt, ChartBin::kWeek},
      {"everything by day", {}, ChartBin::kDay, ChartBin::kDay},
      {"alarms and relays by month", alarmsAndRelays, ChartBin::kMonth, ChartBin::kMonth},
      {"six weeks by day", winter, std::nullopt, ChartBin::kDay},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Result<ChartData> chart = ComputeChart(*store, c.query, c.bin);
    ASSERT_TRUE(chart.ok()) << chart.failure().reason;
    EXPECT_EQ(chart->bin, c.expected);
    ASSERT_FALSE(chart->bars.empty());
    std::vector<std::array<std::int64_t, kChartStacks>> listed(chart->bars.size());
    std::int64_t undated = 0;
    ASSERT_TRUE(
        store
            ->ForEachEvent(c.query,
                           [&](const history::StoredEvent& e) {
                             if (!e.year) {
                               ++undated;
                               return;
                             }
                             const std::int64_t day =
                                 DaysFromCivil(*e.year, e.record.Month(), e.record.Day());
                             std::size_t bar = 0;
                             while (chart->bars[bar].lastDay < day) ++bar;
                             ASSERT_GE(day, chart->bars[bar].firstDay);
                             ++listed[bar][static_cast<std::size_t>(StackOf(TypeOf(e.record)))];
                           })
            .ok());
    for (std::size_t i = 0; i < listed.size(); ++i) {
      EXPECT_EQ(chart->bars[i].counts, listed[i]) << "bar " << i;
      if (i > 0) {
        EXPECT_EQ(chart->bars[i].firstDay, chart->bars[i - 1].lastDay + 1);
      }
    }
    EXPECT_EQ(chart->undated, undated);
    if (c.query.from) {
      EXPECT_LE(chart->bars.front().firstDay, DaysFromCivil(2024, 1, 10));
      EXPECT_GE(chart->bars.back().lastDay, DaysFromCivil(2024, 2, 20));
    }
  }
  Result<ChartData> everything = ComputeChart(*store, {});
  ASSERT_TRUE(everything.ok());
  ASSERT_EQ(everything->holes.size(), 1u);
  EXPECT_LT(everything->holes[0].fromDay, everything->holes[0].toDay);
}

INSTANTIATE_TEST_SUITE_P(Stores, ChartDataTest,
                         ::testing::Values(history::testing::Backend::kSqlite,
                                           history::testing::Backend::kPostgres),
                         history::testing::BackendName);

}  // namespace
}  // namespace torv
