// The store's counts against the listing: for every grouping, each count
// equals the events ForEachEvent gives for the same query, counted here, on
// both stores. The simulation writes damaged and undated events, device
// events with any byte 1, and copies with a hole between them.
#include <gtest/gtest.h>

#include <map>
#include <tuple>

#include "history_test_support.h"
#include "models/device_simulation.h"

namespace torv::history {
namespace {

using Group = std::tuple<std::optional<std::int64_t>, std::optional<int>,
                         std::optional<std::int64_t>, bool, int>;

Group GroupOf(const CountedEvents& count) {
  return {count.dateKey, count.number, count.copy, count.dated, count.code};
}

// The group of one listed event, by the grouping's own definition.
Group GroupOf(const StoredEvent& event, CountGrouping grouping) {
  CountedEvents count;
  count.code = event.record.Code();
  switch (grouping) {
    case CountGrouping::kDayAndCode:
      if (event.year) {
        count.dateKey = CalendarDate{*event.year, event.record.Month(), event.record.Day()}.Key();
      }
      break;
    case CountGrouping::kNumberAndCode:
      count.number = InputNumberOf(event.record);
      if (!count.number) count.number = RelayNumberOf(event.record);
      break;
    case CountGrouping::kCopyAndCode:
      count.copy = event.copy;
      count.dated = event.year.has_value();
      break;
  }
  return GroupOf(count);
}

class StoreCountsTest : public ::testing::TestWithParam<testing::Backend> {};

TEST_P(StoreCountsTest, EveryGroupingCountsWhatTheListingShows) {
  testing::TestStore test(GetParam());
  auto store = test.Open();
  ASSERT_TRUE(store);
  SimulationOptions options;
  options.seed = 23;
  options.maxStepSeconds = 9000;
  SimulatedDevice device(options);
  for (const int written : {900, 1500, 700}) {  // the second copy leaves a hole
    device.Write(written);
    ASSERT_TRUE(store->Import("sim", device.CopyNow()).ok());
  }
  SimulatedDevice other(SimulationOptions{.seed = 24});
  other.Write(300);
  ASSERT_TRUE(store->Import("other", other.CopyNow()).ok());

  EventQuery alarmsAndDevice;
  alarmsAndDevice.types = {EventType::kAlarm, EventType::kDevice};
  alarmsAndDevice.devices = {"sim"};
  EventQuery spring;
  spring.from = CalendarDate{2024, 3, 1};
  spring.to = CalendarDate{2024, 5, 31};
  const struct {
    const char* name;
    EventQuery query;
  } queries[] = {
      {"everything", {}}, {"alarms and device events", alarmsAndDevice}, {"spring", spring}};
  for (const auto& [name, query] : queries) {
    for (const CountGrouping grouping :
         {CountGrouping::kDayAndCode, CountGrouping::kNumberAndCode, CountGrouping::kCopyAndCode}) {
      SCOPED_TRACE(std::string(name) + ", grouping " + std::to_string(static_cast<int>(grouping)));
      std::map<std::pair<std::string, Group>, std::int64_t> listed;
      ASSERT_TRUE(store
                      ->ForEachEvent(query,
                                     [&](const StoredEvent& event) {
                                       ++listed[{event.device, GroupOf(event, grouping)}];
                                     })
                      .ok());
      ASSERT_FALSE(listed.empty());
      Result<std::vector<CountedEvents>> counts = store->Counts(query, grouping);
      ASSERT_TRUE(counts.ok()) << counts.failure().reason;
      std::map<std::pair<std::string, Group>, std::int64_t> counted;
      for (const CountedEvents& count : *counts) {
        // One count per group: a group told twice would be counted twice by a caller.
        EXPECT_TRUE(counted.emplace(std::pair{count.device, GroupOf(count)}, count.events).second);
      }
      EXPECT_EQ(counted, listed);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Stores, StoreCountsTest,
                         ::testing::Values(testing::Backend::kSqlite, testing::Backend::kPostgres),
                         testing::BackendName);

}  // namespace
}  // namespace torv::history
