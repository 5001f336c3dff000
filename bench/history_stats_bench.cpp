// The chart and the alarm statistics of one device over ten years (about
// 300,000 events) on SQLite. The store is built once and kept in the build
// folder (history-bench-10y.sqlite3).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "history/history_store.h"
#include "history_report/alarm_statistics.h"
#include "history_report/chart_data.h"
#include "models/device_simulation.h"

namespace torv {
namespace {

using namespace history;

constexpr int kCopies = 300;  // after the first, each adds 1000 events

void Die(const std::string& what) {
  std::fprintf(stderr, "history_stats_bench: %s\n", what.c_str());
  std::exit(1);
}

HistoryStore& TenYears() {
  static std::unique_ptr<HistoryStore> store = [] {
    const std::filesystem::path file =
        std::filesystem::path(TORVDOC_BENCH_DIR) / "history-bench-10y.sqlite3";
    const bool built = std::filesystem::exists(file);
    const StoreLocation location{StoreKind::kSqlite, file.string(), file.string()};
    Result<std::unique_ptr<HistoryStore>> opened = OpenHistoryStore(location, OpenMode::kWrite);
    if (!opened) Die(opened.failure().reason);
    if (!built) {
      SimulationOptions options;
      options.startUnixSeconds = 1420070400;  // 1 January 2015
      options.maxStepSeconds = 2100;          // about 300,000 events in ten years
      SimulatedDevice device(options);
      device.Write(1024);
      for (int copy = 0; copy <= kCopies; ++copy) {
        if (copy > 0) device.Write(1000);
        if (Result<ImportOutcome> outcome = (*opened)->Import("01", device.CopyNow()); !outcome) {
          Die(outcome.failure().reason);
        }
      }
    }
    return std::move(*opened);
  }();
  return *store;
}

EventQuery OneDevice() {
  EventQuery query;
  query.devices = {"01"};
  return query;
}

void BM_ChartTenYears(benchmark::State& state) {
  HistoryStore& store = TenYears();
  for (auto _ : state) {
    Result<ChartData> chart = ComputeChart(store, OneDevice());
    if (!chart) Die(chart.failure().reason);
    benchmark::DoNotOptimize(chart->bars.size());
  }
}
BENCHMARK(BM_ChartTenYears)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

void BM_StatisticsTenYears(benchmark::State& state) {
  HistoryStore& store = TenYears();
  for (auto _ : state) {
    Result<AlarmStatistics> statistics = ComputeAlarmStatistics(store, OneDevice());
    if (!statistics) Die(statistics.failure().reason);
    benchmark::DoNotOptimize(statistics->devices.size());
  }
}
BENCHMARK(BM_StatisticsTenYears)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

}  // namespace
}  // namespace torv

BENCHMARK_MAIN();
