// A device writes a long random sequence (across a new year, with damaged
// records and identical neighbours); copies taken at random moments are
// imported in shuffled order, twice. The history must equal what the device
// wrote, with gaps exactly where no copy overlapped the next, and right years.
#include <algorithm>
#include <random>
#include <set>

#include <gtest/gtest.h>

#include "history_test_support.h"
#include "models/device_simulation.h"

namespace torv::history {
namespace {

using testing::Backend;
using testing::TestStore;

struct Truth {
  std::vector<ArchiveCopy> copies;
  // Runs of written events that overlapping copies cover, as [first, last).
  std::vector<std::pair<std::size_t, std::size_t>> stretches;
};

// True when the record occurs once among all written so far: a copy edge on
// such a record cannot coincide with a stored record by chance.
bool Unique(const std::vector<ArchiveRecord>& written, std::size_t index) {
  return std::count_if(written.begin(), written.end(), [&](const ArchiveRecord& r) {
           return IdentityOf(r) == IdentityOf(written[index]);
         }) == 1;
}

Truth Simulate(SimulatedDevice& device, std::mt19937& random, int copies) {
  Truth truth;
  std::vector<std::pair<std::size_t, std::size_t>> covered;
  std::uniform_int_distribution<int> between(40, 1500);
  for (int c = 0; c < copies; ++c) {
    device.Write(between(random));
    // Copy edges on unique records only; the device writes on until then.
    while (!Unique(device.Written(), device.CopyStart()) ||
           !Unique(device.Written(), device.Written().size() - 1)) {
      device.Write(1);
    }
    truth.copies.push_back(device.CopyNow());
    covered.emplace_back(device.CopyStart(), device.Written().size());
  }
  std::sort(covered.begin(), covered.end());
  for (const auto& range : covered) {
    // Copies that share an event join; copies that only touch do not.
    if (!truth.stretches.empty() && range.first < truth.stretches.back().second) {
      truth.stretches.back().second = std::max(truth.stretches.back().second, range.second);
    } else {
      truth.stretches.push_back(range);
    }
  }
  return truth;
}

class HistorySimulationTest : public ::testing::TestWithParam<Backend> {};

TEST_P(HistorySimulationTest, ShuffledImportsRebuildWhatTheDeviceWrote) {
  SimulationOptions options;
  options.seed = 2024;
  options.startUnixSeconds = 1734652800;  // 20 December 2024
  options.maxStepSeconds = 1800;
  SimulatedDevice device(options);
  std::mt19937 random(77);
  const Truth truth = Simulate(device, random, 14);
  ASSERT_GE(truth.stretches.size(), 2u) << "the simulation should leave gaps";
  ASSERT_LT(truth.stretches.size(), truth.copies.size()) << "and overlaps";
  // The history crosses the new year.
  ASSERT_EQ(device.WrittenYears()[truth.stretches.front().first].value_or(0), 2024);
  ASSERT_EQ(device.WrittenYears().back().value_or(0), 2025);

  TestStore test(GetParam());
  auto store = test.Open();
  ASSERT_TRUE(store);
  for (int round = 0; round < 2; ++round) {
    std::vector<std::size_t> order(truth.copies.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::shuffle(order.begin(), order.end(), random);
    for (const std::size_t i : order) {
      Result<ImportOutcome> outcome = store->Import("sim", truth.copies[i]);
      ASSERT_TRUE(outcome.ok()) << outcome.failure().reason;
      if (round == 1) {
        EXPECT_EQ(outcome->newEvents, 0);
      }
    }
  }

  std::vector<StoredEvent> events;
  ASSERT_TRUE(store->ForEachEvent({}, [&](const StoredEvent& e) { events.push_back(e); }).ok());
  std::size_t at = 0;
  for (std::size_t s = 0; s < truth.stretches.size(); ++s) {
    const auto [first, last] = truth.stretches[s];
    for (std::size_t k = first; k < last; ++k, ++at) {
      ASSERT_LT(at, events.size());
      SCOPED_TRACE("written event " + std::to_string(k));
      EXPECT_EQ(events[at].record, device.Written()[k]);
      EXPECT_EQ(events[at].year, device.WrittenYears()[k]);
      EXPECT_EQ(events[at].damaged, device.Written()[k].IsDamaged());
      EXPECT_EQ(events[at].gapBefore, s > 0 && k == first);
    }
  }
  EXPECT_EQ(at, events.size());

  // Filters against the same truth.
  const auto expectFiltered = [&](const EventQuery& query, const auto& keep) {
    std::vector<std::size_t> expected;
    for (const auto& [first, last] : truth.stretches) {
      for (std::size_t k = first; k < last; ++k) {
        if (keep(device.Written()[k], device.WrittenYears()[k])) expected.push_back(k);
      }
    }
    std::vector<StoredEvent> listed;
    ASSERT_TRUE(
        store->ForEachEvent(query, [&](const StoredEvent& e) { listed.push_back(e); }).ok());
    ASSERT_EQ(listed.size(), expected.size());
    for (std::size_t i = 0; i < listed.size(); ++i) {
      EXPECT_EQ(listed[i].record, device.Written()[expected[i]]);
      EXPECT_EQ(listed[i].year, device.WrittenYears()[expected[i]]);
    }
    Result<std::int64_t> count = store->Count(query);
    ASSERT_TRUE(count.ok());
    EXPECT_EQ(*count, static_cast<std::int64_t>(expected.size()));
  };
  EventQuery input7;
  input7.input = 7;
  expectFiltered(input7, [](const ArchiveRecord& r, const std::optional<int>&) {
    return InputNumberOf(r) == 7;
  });
  EventQuery relaysAndDamaged;
  relaysAndDamaged.kinds = {EventKind::kRelay, EventKind::kDamaged};
  expectFiltered(relaysAndDamaged, [](const ArchiveRecord& r, const std::optional<int>&) {
    return KindOf(r) == EventKind::kRelay || KindOf(r) == EventKind::kDamaged;
  });
  EventQuery newYear;
  newYear.from = CalendarDate{2024, 12, 31};
  newYear.to = CalendarDate{2025, 1, 1};
  newYear.kinds = {EventKind::kInput, EventKind::kDevice};
  expectFiltered(newYear, [](const ArchiveRecord& r, const std::optional<int>& year) {
    if (!year || (KindOf(r) != EventKind::kInput && KindOf(r) != EventKind::kDevice)) return false;
    const std::int64_t key = CalendarDate{*year, r.Month(), r.Day()}.Key();
    return key >= 20241231 && key <= 20250101;
  });
}

INSTANTIATE_TEST_SUITE_P(Stores, HistorySimulationTest,
                         ::testing::Values(Backend::kSqlite, Backend::kPostgres),
                         testing::BackendName);

}  // namespace
}  // namespace torv::history
