// A device writes a long random sequence (across a new year, with damaged
// records and identical neighbours); copies taken at random moments are
// imported in shuffled order, twice. The history must equal what the device
// wrote, with gaps exactly where no copy overlapped the next, and right years.
#include <algorithm>
#include <random>
#include <set>
#include <tuple>

#include <gtest/gtest.h>

#include "history_report/event_time.h"
#include "history_report/listing_coverage.h"
#include "history_test_support.h"
#include "models/device_simulation.h"

namespace torv::history {
namespace {

using testing::Backend;
using testing::TestStore;

struct Truth {
  std::vector<ArchiveCopy> copies;
  // The written events each copy held, as [first, last), in copy order.
  std::vector<std::pair<std::size_t, std::size_t>> held;
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
  truth.held = covered;
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

// What a listing covers, against what the device wrote and the copies held:
// periods across, at the edge of and inside a hole, with and without filters.
TEST_P(HistorySimulationTest, CoverageCountsWhatTheCopiesHeldAroundTheHoles) {
  SimulationOptions options;
  options.seed = 31;
  options.startUnixSeconds = 1734652800;  // 20 December 2024
  SimulatedDevice device(options);
  std::mt19937 random(31);
  const Truth truth = Simulate(device, random, 8);
  ASSERT_GE(truth.stretches.size(), 2u);
  TestStore test(GetParam());
  auto store = test.Open();
  ASSERT_TRUE(store);
  for (const ArchiveCopy& copy : truth.copies) ASSERT_TRUE(store->Import("sim", copy).ok());

  const std::vector<ArchiveRecord>& written = device.Written();
  const auto dayOf = [&](std::size_t k) -> std::optional<std::int64_t> {
    const std::optional<int> year = device.WrittenYears()[k];
    if (!year) return std::nullopt;
    return CalendarDate{*year, written[k].Month(), written[k].Day()}.Key();
  };
  // The dated event nearest a stretch's end, looking from `from` toward `to`.
  const auto datedDay = [&](std::size_t s, bool last) {
    std::optional<std::int64_t> day;
    for (std::size_t k = truth.stretches[s].first; k < truth.stretches[s].second; ++k) {
      if (dayOf(k) && (last || !day)) day = dayOf(k);
    }
    return day;
  };
  const auto date = [](std::int64_t key, int shift) {
    const std::int64_t days =
        DaysFromCivil(static_cast<int>(key / 10000), static_cast<int>(key / 100 % 100),
                      static_cast<int>(key % 100));
    return CivilFromDays(days + shift);
  };
  const std::int64_t beforeHole = *datedDay(0, true);
  const std::int64_t afterHole = *datedDay(1, false);

  using Keep = bool (*)(const ArchiveRecord&);
  struct Case {
    const char* name;
    std::optional<CalendarDate> from;
    std::optional<CalendarDate> to;
    std::optional<int> input;
    Keep keep;
  };
  const Keep all = [](const ArchiveRecord&) { return true; };
  const Case cases[] = {
      {"everything", {}, {}, {}, all},
      {"input 7", {}, {}, 7, [](const ArchiveRecord& r) { return InputNumberOf(r) == 7; }},
      {"across the hole", date(beforeHole, 0), date(afterHole, 0), {}, all},
      {"ending where it starts", {}, date(beforeHole, 0), {}, all},
      {"starting where it ends, input 7",
       date(afterHole, 0),
       {},
       7,
       [](const ArchiveRecord& r) { return InputNumberOf(r) == 7; }},
      {"a day after it starts", date(beforeHole, 1), date(beforeHole, 1), {}, all},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EventQuery query;
    query.from = c.from;
    query.to = c.to;
    query.input = c.input;
    // The model: the events the copies held that the query lets through,
    // each from the first copy that held it.
    DeviceCoverage want;
    std::set<std::size_t> copies;
    for (const auto& [first, last] : truth.stretches) {
      for (std::size_t k = first; k < last; ++k) {
        const std::optional<std::int64_t> day = dayOf(k);
        const bool dated = c.from || c.to;
        if (!c.keep(written[k]) || (dated && !day) || (c.from && *day < c.from->Key()) ||
            (c.to && *day > c.to->Key())) {
          continue;
        }
        ++want.listed;
        want.damaged += written[k].IsDamaged() ? 1 : 0;
        want.undated += day ? 0 : 1;
        std::size_t copy = 0;
        while (!(truth.held[copy].first <= k && k < truth.held[copy].second)) ++copy;
        if (copies.insert(copy).second) {
          const std::int64_t at = truth.copies[copy].copiedAt.unixSeconds;
          want.firstCopyAt = std::min(want.firstCopyAt.value_or(at), at);
          want.lastCopyAt = std::max(want.lastCopyAt.value_or(at), at);
        }
      }
    }
    // A hole counts where its bounds reach into the dates.
    for (std::size_t s = 0; s + 1 < truth.stretches.size(); ++s) {
      const std::optional<std::int64_t> before = datedDay(s, true);
      const std::optional<std::int64_t> after = datedDay(s + 1, false);
      want.holes += !(c.to && before && *before > c.to->Key()) &&
                    !(c.from && after && *after < c.from->Key());
    }
    Result<ListingCoverage> got = ReadCoverage(*store, query);
    ASSERT_TRUE(got.ok()) << got.failure().reason;
    ASSERT_EQ(got->devices.size(), 1u);
    want.copies = static_cast<std::int64_t>(copies.size());
    const DeviceCoverage& d = got->devices.front();
    EXPECT_EQ(
        std::tie(d.listed, d.damaged, d.undated, d.holes, d.copies, d.firstCopyAt, d.lastCopyAt),
        std::tie(want.listed, want.damaged, want.undated, want.holes, want.copies, want.firstCopyAt,
                 want.lastCopyAt));
  }
}

// Every selection filter, alone and together, against what the device wrote:
// the listing, its count and its parts.
TEST_P(HistorySimulationTest, SelectionFiltersKeepWhatTheDeviceWrote) {
  SimulationOptions options;
  options.seed = 22;
  options.numbers = 256;
  SimulatedDevice device(options);
  std::mt19937 random(22);
  const Truth truth = Simulate(device, random, 6);
  ASSERT_GE(truth.stretches.size(), 2u);
  TestStore test(GetParam());
  auto store = test.Open();
  ASSERT_TRUE(store);
  for (const ArchiveCopy& copy : truth.copies) ASSERT_TRUE(store->Import("sim", copy).ok());

  using Keep = bool (*)(const ArchiveRecord&);
  struct Case {
    const char* name;
    EventQuery query;
    Keep keep;
  };
  const auto query = [](auto set) {
    EventQuery q;
    set(q);
    return q;
  };
  const Case cases[] = {
      {"alarms", query([](EventQuery& q) { q.types = {EventType::kAlarm}; }),
       [](const ArchiveRecord& r) { return r.Code() == 2; }},
      {"warnings and normals", query([](EventQuery& q) {
         q.types = {EventType::kWarning, EventType::kNormal};
       }),
       [](const ArchiveRecord& r) { return r.Code() == 0 || r.Code() == 1; }},
      {"alarms or relays", query([](EventQuery& q) {
         q.types = {EventType::kAlarm};
         q.kinds = {EventKind::kRelay};
       }),
       [](const ArchiveRecord& r) { return r.Code() == 2 || r.Code() == 50 || r.Code() == 51; }},
      {"damaged as a type", query([](EventQuery& q) { q.types = {EventType::kDamaged}; }),
       [](const ArchiveRecord& r) { return r.IsDamaged(); }},
      {"codes 2, 50-51", query([](EventQuery& q) {
         q.codes = {2, 50, 51};
       }),
       [](const ArchiveRecord& r) { return r.Code() == 2 || r.Code() == 50 || r.Code() == 51; }},
      {"codes 3-5 and 255", query([](EventQuery& q) {
         q.codes = {3, 4, 5, 255};
       }),
       [](const ArchiveRecord& r) { return (r.Code() >= 3 && r.Code() <= 5) || r.Code() == 255; }},
      {"code 20 among inputs", query([](EventQuery& q) {
         q.codes = {20};
         q.kinds = {EventKind::kInput};
       }),
       [](const ArchiveRecord&) { return false; }},
      {"inputs 3, 7, 40-200", query([](EventQuery& q) {
         q.input = 3;
         q.inputs = {7, 40, 41, 42, 43, 44, 45, 46, 47, 48, 49, 50, 200};
       }),
       [](const ArchiveRecord& r) {
         const std::optional<int> n = InputNumberOf(r);
         return n == 3 || n == 7 || (n >= 40 && n <= 50) || n == 200;
       }},
      {"input 256 or relays 1, 256", query([](EventQuery& q) {
         q.inputs = {256};
         q.relays = {1, 256};
       }),
       [](const ArchiveRecord& r) {
         return InputNumberOf(r) == 256 || RelayNumberOf(r) == 1 || RelayNumberOf(r) == 256;
       }},
      {"alarms of inputs 1-128 on code 2 only", query([](EventQuery& q) {
         q.types = {EventType::kAlarm, EventType::kNormal};
         q.codes = {2};
         for (int n = 1; n <= 128; ++n) q.inputs.push_back(n);
       }),
       [](const ArchiveRecord& r) { return r.Code() == 2 && InputNumberOf(r) <= 128; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<ArchiveRecord> expected;
    for (const auto& [first, last] : truth.stretches) {
      for (std::size_t k = first; k < last; ++k) {
        if (c.keep(device.Written()[k])) expected.push_back(device.Written()[k]);
      }
    }
    std::vector<ArchiveRecord> listed;
    ASSERT_TRUE(
        store->ForEachEvent(c.query, [&](const StoredEvent& e) { listed.push_back(e.record); })
            .ok());
    EXPECT_EQ(listed, expected);
    Result<std::int64_t> count = store->Count(c.query);
    ASSERT_TRUE(count.ok());
    EXPECT_EQ(*count, static_cast<std::int64_t>(expected.size()));
    Result<std::vector<ListingPart>> parts = store->Parts(c.query);
    ASSERT_TRUE(parts.ok());
    std::int64_t inParts = 0;
    for (const ListingPart& part : *parts) inParts += part.events;
    EXPECT_EQ(inParts, static_cast<std::int64_t>(expected.size()));
  }
}

INSTANTIATE_TEST_SUITE_P(Stores, HistorySimulationTest,
                         ::testing::Values(Backend::kSqlite, Backend::kPostgres),
                         testing::BackendName);

}  // namespace
}  // namespace torv::history
