// The alarm statistics of each device over a period (`history stats` and the
// window's "Статистика" tab). Counts come from the store's aggregation; the
// order-dependent figures from one pass over the alarms and normals
// (alarm_pass.h). README's "Alarm statistics" defines every figure.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "archive/record_kind.h"
#include "archive/result.h"
#include "history/history_store.h"
#include "history_report/alarm_pass.h"

namespace torv {

inline constexpr int kTopInputs = 10;

struct InputStatistics {
  int input = 0;
  std::int64_t alarms = 0;
  std::int64_t warnings = 0;
  std::int64_t normals = 0;
  InputEpisodes episodes;
};

struct CodeCount {
  int code = 0;
  std::int64_t events = 0;
};

// A hole of the history that touches the period, by its two sides' moments
// (none where that side has no dated event).
struct StatisticsHole {
  std::optional<std::int64_t> from;
  std::optional<std::int64_t> to;
};

struct DeviceStatistics {
  std::string device;
  std::array<std::int64_t, std::size(kAllEventTypes)> byType{};  // in kAllEventTypes' order
  std::vector<CodeCount> byCode;                                 // by code
  std::vector<InputStatistics> inputs;                           // by input
  std::vector<InputStatistics> top;  // up to 10 inputs, most alarms first
  // From the first to the last alarm or normal of the period, less the holes.
  std::int64_t observedSeconds = 0;
  std::optional<std::int64_t> firstSeen;
  std::optional<std::int64_t> lastSeen;
  std::vector<StatisticsHole> holes;
  PassFigures pass;

  std::int64_t Count(EventType type) const { return byType[static_cast<std::size_t>(type)]; }
  // Alarms per observed hour; none without an observed hour.
  std::optional<double> AlarmsPerHour() const;
  // The share of the observed 10-minute windows that are flood windows.
  std::optional<double> FloodShare() const;
};

struct AlarmStatistics {
  history::EventQuery query;
  std::vector<DeviceStatistics> devices;  // by name
};

// The statistics of the events `query` lets through (its kinds, codes and
// text narrow the counts; the pass always takes the alarms and normals of
// its inputs).
Result<AlarmStatistics> ComputeAlarmStatistics(history::HistoryStore& store,
                                               const history::EventQuery& query);

}  // namespace torv
