// The alarm statistics: the pass's rules on small cases, and every figure of
// simulated devices (dense and sparse, with holes across alarms) on both
// stores against a computation of its own here, event by event.
#include <algorithm>
#include <map>
#include <random>
#include <tuple>

#include <gtest/gtest.h>

#include "history_report/alarm_statistics.h"
#include "history_report/event_time.h"
#include "history_test_support.h"
#include "models/device_simulation.h"

namespace torv {
namespace {

struct PassCase {
  const char* name;
  std::vector<PassEvent> events;
  std::map<int, InputEpisodes> inputs;
  std::vector<StandingAlarm> standing = {};
  std::vector<Flood> floods = {};
  std::vector<Chattering> chattering = {};
};

PassEvent A(std::int64_t t, int input, bool hole = false) {
  return {t, input, true, hole};
}
PassEvent N(std::int64_t t, int input, bool hole = false) {
  return {t, input, false, hole};
}

bool operator==(const InputEpisodes& a, const InputEpisodes& b) {
  return a.timeInAlarmSeconds == b.timeInAlarmSeconds &&
         a.longestAlarmSeconds == b.longestAlarmSeconds && a.unknownEpisodes == b.unknownEpisodes;
}

TEST(AlarmPassTest, Cases) {
  constexpr std::int64_t kDay = 86400;
  const PassCase cases[] = {
      {"alarm to normal", {A(0, 1), N(100, 1), A(200, 1), N(250, 1)}, {{1, {150, 100, 0}}}},
      {"a second alarm continues", {A(0, 1), A(50, 1), N(100, 1), N(120, 1)}, {{1, {100, 100, 0}}}},
      {"inputs apart",
       {A(0, 1), A(10, 2), N(30, 2), N(100, 1)},
       {{1, {100, 100, 0}}, {2, {20, 20, 0}}}},
      {"a hole cuts it", {A(0, 1), N(100, 1, true)}, {{1, {0, 0, 1}}}, {{1, 0, {}, false}}},
      {"standing before the hole",
       {A(0, 1), N(kDay + 1, 2), N(kDay + 5, 1, true)},
       {{1, {0, 0, 1}}},
       {{1, 0, {}, true}}},
      {"standing to its normal",
       {A(0, 1), N(kDay + 1, 1)},
       {{1, {kDay + 1, kDay + 1, 0}}},
       {{1, 0, kDay + 1, true}}},
      {"open at the end",
       {A(0, 1), A(kDay + 1, 2)},
       {{1, {0, 0, 0}}, {2, {0, 0, 0}}},
       {{1, 0, {}, true}}},
      {"flood windows",
       {A(600, 1),  A(601, 1),  A(602, 1),  A(603, 1),  A(604, 1),  A(605, 1),  A(606, 1),
        A(607, 1),  A(608, 1),  A(609, 1),  A(1199, 1), A(1200, 2), A(1201, 2), A(1202, 2),
        A(1203, 2), A(1204, 2), A(1205, 2), A(1206, 2), A(1207, 2), A(1208, 2), A(1209, 2),
        A(1210, 2), A(1800, 3), A(1801, 3), A(1802, 3), A(1803, 3), A(1804, 3), A(1805, 3),
        A(1806, 3), A(1807, 3), A(1808, 3), A(1809, 3)},
       {{1, {0, 0, 0}}, {2, {0, 0, 0}}, {3, {0, 0, 0}}},
       {},
       {{600, 1800, 22}}},
      {"chattering in 300 s",
       {A(0, 1), N(60, 1), A(120, 1), N(180, 1), A(300, 1), N(301, 1)},
       {{1, {121, 60, 0}}},
       {},
       {},
       {{1, 0, 5}}},
      // Repeated alarms and normals change nothing; a hole starts counting anew.
      {"no chattering over 301 s, in repeats or across a hole",
       {A(0, 1), N(60, 1), A(120, 1), A(121, 1), N(180, 1), N(181, 1), A(301, 1), N(400, 1),
        A(410, 1, true), N(420, 1), A(430, 1), N(440, 1)},
       {{1, {239, 99, 0}}}},
  };
  for (const PassCase& c : cases) {
    SCOPED_TRACE(c.name);
    AlarmPass pass;
    for (const PassEvent& event : c.events) pass.Add(event);
    const PassFigures figures = pass.Finish();
    EXPECT_EQ(figures.inputs.size(), c.inputs.size());
    for (const auto& [input, expected] : c.inputs) {
      ASSERT_TRUE(figures.inputs.contains(input)) << input;
      EXPECT_TRUE(figures.inputs.at(input) == expected)
          << input << ": " << figures.inputs.at(input).timeInAlarmSeconds << " "
          << figures.inputs.at(input).longestAlarmSeconds << " "
          << figures.inputs.at(input).unknownEpisodes;
    }
    EXPECT_EQ(figures.standing, c.standing);
    EXPECT_EQ(figures.floods, c.floods);
    EXPECT_EQ(figures.chattering, c.chattering);
  }
}

// A device's stored history as the test knows it: the written events that
// the copies covered, and where a hole lies before one of them.
struct Stored {
  std::vector<history::StoredEvent> events;  // gapBefore where a hole lies before
};

Stored SimulateInto(history::HistoryStore& store, const history::SimulationOptions& options,
                    int copies) {
  history::SimulatedDevice device(options);
  std::mt19937 random(options.seed);
  std::uniform_int_distribution<int> between(300, 1700);  // beyond 1024: a hole
  std::vector<std::pair<std::size_t, std::size_t>> covered;
  for (int c = 0; c < copies; ++c) {
    device.Write(between(random));
    EXPECT_TRUE(store.Import("sim", device.CopyNow()).ok());
    covered.emplace_back(device.CopyStart(), device.Written().size());
  }
  Stored stored;
  std::size_t end = 0;
  for (const auto& [first, last] : covered) {
    for (std::size_t k = std::max(first, end); k < last; ++k) {
      history::StoredEvent event;
      event.device = "sim";
      event.record = device.Written()[k];
      event.year = device.WrittenYears()[k];
      // Copies that only touch do not join.
      event.gapBefore = k == first && first >= end && end > 0;
      stored.events.push_back(event);
    }
    end = std::max(end, last);
  }
  return stored;
}

// The figures, computed here episode by episode from the events.
struct Expected {
  std::map<int, std::array<std::int64_t, 3>> counts;  // alarms, warnings, normals
  std::map<int, InputEpisodes> episodes;
  std::vector<StandingAlarm> standing;
  std::map<std::int64_t, std::int64_t> windowAlarms;
  std::map<int, Chattering> chattering;
};

Expected Compute(const Stored& stored) {
  struct Seen {
    std::int64_t t;
    int input;
    bool alarm;
    int stretch;
  };
  std::vector<Seen> seen;
  Expected expected;
  int stretch = 0;
  bool holePending = false;
  for (const history::StoredEvent& e : stored.events) {
    holePending = holePending || e.gapBefore;
    const std::optional<int> input = InputNumberOf(e.record);
    if (!input) continue;
    ++expected.counts[*input][e.record.Code() == 2 ? 0 : e.record.Code() == 1 ? 1 : 2];
    const std::optional<std::int64_t> t = EventSeconds(e);
    if (e.record.Code() == 1 || !t) continue;
    if (holePending) ++stretch;
    holePending = false;
    seen.push_back({*t, *input, e.record.Code() == 2, stretch});
    if (e.record.Code() == 2) ++expected.windowAlarms[*t / 600 * 600];
  }
  // Episodes: from an alarm of an input out of alarm to its next normal.
  std::map<int, bool> inAlarm;
  std::map<int, std::vector<std::int64_t>> changes;  // per input, with its stretch
  std::map<int, std::vector<int>> changeStretch;
  for (std::size_t i = 0; i < seen.size(); ++i) {
    const Seen& s = seen[i];
    if (s.alarm == inAlarm[s.input]) continue;
    inAlarm[s.input] = s.alarm;
    changes[s.input].push_back(s.t);
    changeStretch[s.input].push_back(s.stretch);
    if (!s.alarm) continue;
    InputEpisodes& episodes = expected.episodes[s.input];
    std::size_t j = i + 1;
    while (j < seen.size() && !(seen[j].input == s.input && !seen[j].alarm)) ++j;
    const bool closed = j < seen.size();
    const bool cut = (closed ? seen[j].stretch : seen.back().stretch) != s.stretch;
    if (closed && !cut) {
      const std::int64_t d = seen[j].t - s.t;
      episodes.timeInAlarmSeconds += d;
      episodes.longestAlarmSeconds = std::max(episodes.longestAlarmSeconds, d);
      if (d > kStandingSeconds) expected.standing.push_back({s.input, s.t, seen[j].t, true});
      continue;
    }
    if (cut) ++episodes.unknownEpisodes;
    // The last moment seen in the alarm's own stretch.
    std::size_t last = i;
    while (last + 1 < seen.size() && seen[last + 1].stretch == s.stretch) ++last;
    if (seen[last].t - s.t > kStandingSeconds) {
      expected.standing.push_back({s.input, s.t, std::nullopt, true});
    } else if (cut) {
      expected.standing.push_back({s.input, s.t, std::nullopt, false});
    }
  }
  std::sort(expected.standing.begin(), expected.standing.end(),
            [](const StandingAlarm& a, const StandingAlarm& b) {
              return std::tie(a.start, a.input) < std::tie(b.start, b.input);
            });
  for (const auto& [input, times] : changes) {
    for (std::size_t j = 0; j < times.size(); ++j) {
      std::size_t i = j;
      while (i > 0 && changeStretch[input][i - 1] == changeStretch[input][j] &&
             times[j] - times[i - 1] <= kChatterSeconds) {
        --i;
      }
      const int n = static_cast<int>(j - i + 1);
      if (n < kChatterChanges) continue;
      auto [at, fresh] = expected.chattering.try_emplace(input, Chattering{input, times[i], n});
      at->second.mostChanges = std::max(at->second.mostChanges, n);
    }
  }
  return expected;
}

class StatisticsSimulationTest : public ::testing::TestWithParam<history::testing::Backend> {};

TEST_P(StatisticsSimulationTest, FiguresMatchTheEventsOfDenseAndSparseDevices) {
  struct Device {
    const char* name;
    std::uint32_t seed;
    int maxStepSeconds;
    int numbers;
  };
  // Dense: floods and chattering; sparse: alarms standing for days.
  for (const Device& d : {Device{"dense", 5, 14, 4}, Device{"sparse", 6, 4 * 3600, 3}}) {
    SCOPED_TRACE(d.name);
    history::testing::TestStore test(GetParam());
    auto store = test.Open();
    ASSERT_TRUE(store);
    history::SimulationOptions options;
    options.seed = d.seed;
    options.maxStepSeconds = d.maxStepSeconds;
    options.numbers = d.numbers;
    options.repeatPerMille = 0;  // copies must not meet on twin records
    const Stored stored = SimulateInto(*store, options, 6);
    const Expected expected = Compute(stored);

    Result<AlarmStatistics> computed = ComputeAlarmStatistics(*store, {});
    ASSERT_TRUE(computed.ok()) << computed.failure().reason;
    ASSERT_EQ(computed->devices.size(), 1u);
    const DeviceStatistics& device = computed->devices.front();
    ASSERT_GE(device.holes.size(), 1u) << "the simulation should leave holes";
    EXPECT_GE(
        std::count_if(device.pass.standing.begin(), device.pass.standing.end(),
                      [](const StandingAlarm& s) { return !s.known; }) +
            std::count_if(device.inputs.begin(), device.inputs.end(),
                          [](const InputStatistics& s) { return s.episodes.unknownEpisodes; }),
        1)
        << "a hole should cut an alarm";
    std::int64_t alarms = 0;
    ASSERT_EQ(device.inputs.size(), expected.counts.size());
    for (const InputStatistics& s : device.inputs) {
      SCOPED_TRACE("input " + std::to_string(s.input));
      const std::array<std::int64_t, 3> counts = expected.counts.at(s.input);
      EXPECT_EQ((std::array<std::int64_t, 3>{s.alarms, s.warnings, s.normals}), counts);
      alarms += s.alarms;
      const InputEpisodes episodes =
          expected.episodes.contains(s.input) ? expected.episodes.at(s.input) : InputEpisodes{};
      EXPECT_EQ(s.episodes.timeInAlarmSeconds, episodes.timeInAlarmSeconds);
      EXPECT_EQ(s.episodes.longestAlarmSeconds, episodes.longestAlarmSeconds);
      EXPECT_EQ(s.episodes.unknownEpisodes, episodes.unknownEpisodes);
    }
    EXPECT_EQ(device.Count(EventType::kAlarm), alarms);
    EXPECT_EQ(device.pass.standing, expected.standing);
    std::vector<Chattering> chattering;
    for (const auto& [input, c] : expected.chattering) chattering.push_back(c);
    EXPECT_EQ(device.pass.chattering, chattering);
    std::vector<Flood> floods;
    std::int64_t floodWindows = 0;
    for (const auto& [start, count] : expected.windowAlarms) {
      if (count <= kFloodAlarms) continue;
      ++floodWindows;
      if (!floods.empty() && floods.back().end == start) {
        floods.back().end += 600;
        floods.back().alarms += count;
      } else {
        floods.push_back({start, start + 600, count});
      }
    }
    EXPECT_EQ(device.pass.floods, floods);
    EXPECT_EQ(device.pass.floodWindows, floodWindows);
    if (std::string(d.name) == "dense") {
      EXPECT_FALSE(floods.empty());
      EXPECT_FALSE(chattering.empty());
    } else {
      EXPECT_FALSE(expected.standing.empty());
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Stores, StatisticsSimulationTest,
                         ::testing::Values(history::testing::Backend::kSqlite,
                                           history::testing::Backend::kPostgres),
                         history::testing::BackendName);

}  // namespace
}  // namespace torv
