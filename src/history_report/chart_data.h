// The chart of events over time: counts per day, week or month, stacked by
// type, and the holes of the history, read from the store's aggregation. The
// drawing (history_print) and every face that shows the chart take these.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "archive/result.h"
#include "history/history_store.h"

namespace torv {

enum class ChartBin { kDay, kWeek, kMonth };
// "day", "week", "month": what --bin takes.
std::string_view ChartBinName(ChartBin bin);
std::optional<ChartBin> ChartBinNamed(std::string_view name);

// The stacks of a bar, bottom up: alarms, warnings, normals, faults (device
// events), relays, and the rest (damaged and other).
enum class ChartStack { kAlarm, kWarning, kNormal, kFault, kRelay, kOther };
inline constexpr std::size_t kChartStacks = 6;
ChartStack StackOf(EventType type);

inline constexpr std::int64_t kFewestBars = 20;
inline constexpr std::int64_t kMostBars = 200;

struct ChartBar {
  std::int64_t firstDay = 0;  // days since 1970-01-01
  std::int64_t lastDay = 0;
  std::array<std::int64_t, kChartStacks> counts{};
  std::int64_t Total() const;
};

// A hole of the history, by the days of the events on its two sides (the
// chart's first or last day where a side has none).
struct ChartHole {
  std::int64_t fromDay = 0;
  std::int64_t toDay = 0;
};

struct ChartData {
  ChartBin bin = ChartBin::kDay;
  std::vector<ChartBar> bars;  // every bin from the first day to the last, empty ones too
  std::vector<ChartHole> holes;
  std::int64_t undated = 0;  // events the query lets through that have no year
};

// The bin that gives between 20 and 200 bars for the days, where one does:
// days up to 200, then weeks up to 200, then months.
ChartBin ChooseChartBin(std::int64_t firstDay, std::int64_t lastDay);

// The chart of the events `query` lets through, over its period (or from the
// first to the last dated event it lets through), binned by `bin` or by
// ChooseChartBin.
Result<ChartData> ComputeChart(history::HistoryStore& store, const history::EventQuery& query,
                               std::optional<ChartBin> bin = std::nullopt);

}  // namespace torv
