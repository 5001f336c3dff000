// The chart and the alarm statistics of one device over ten years (about
// 300,000 events), on SQLite and on PostgreSQL, and its printed report as a
// PDF file (over 6,000 pages) on SQLite, with the process's peak resident
// memory: under 100 MB, run alone (--benchmark_filter=PdfTenYears). The SQLite store is built
// once and kept in the build folder (history-bench-10y.sqlite3); the server
// is the one bench_postgres_server.h starts (TORVDOC_BENCH_NO_PG=1 leaves
// it out), its device built on the first run against it.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "bench_postgres_server.h"
#include "history/history_store.h"
#include "history_report/alarm_statistics.h"
#include "history_report/chart_data.h"
#include "history_report/history_pdf.h"
#include "models/device_simulation.h"

namespace torv {
namespace {

using namespace history;

constexpr int kCopies = 300;  // after the first, each adds 1000 events
// Apart from the site benchmark's devices, which may share a server with it.
constexpr char kDevice[] = "ten-years";

void Die(const std::string& what) {
  std::fprintf(stderr, "history_stats_bench: %s\n", what.c_str());
  std::exit(1);
}

std::unique_ptr<HistoryStore> OpenWithTenYears(const StoreLocation& location) {
  Result<std::unique_ptr<HistoryStore>> opened = OpenHistoryStore(location, OpenMode::kWrite);
  if (!opened) Die(opened.failure().reason);
  Result<std::vector<KeptCopy>> copies = (*opened)->Copies(std::string(kDevice));
  if (!copies) Die(copies.failure().reason);
  if (copies->empty()) {
    std::fprintf(stderr, "history_stats_bench: building ten years in %s\n", location.shown.c_str());
    SimulationOptions options;
    options.startUnixSeconds = 1420070400;  // 1 January 2015
    options.maxStepSeconds = 2100;          // about 300,000 events in ten years
    SimulatedDevice device(options);
    device.Write(1024);
    for (int copy = 0; copy <= kCopies; ++copy) {
      if (copy > 0) device.Write(1000);
      if (Result<ImportOutcome> outcome = (*opened)->Import(kDevice, device.CopyNow()); !outcome) {
        Die(outcome.failure().reason);
      }
    }
    // The server plans by its statistics, which its autovacuum takes shortly
    // after so many rows were added; measured at once, they are not there yet.
    if (location.kind == StoreKind::kPostgres &&
        std::system(("psql -qc ANALYZE '" + location.target + "'").c_str()) != 0) {
      Die("ANALYZE failed");
    }
  }
  return std::move(*opened);
}

EventQuery OneDevice() {
  EventQuery query;
  query.devices = {kDevice};
  return query;
}

void Chart(benchmark::State& state, HistoryStore* store) {
  for (auto _ : state) {
    Result<ChartData> chart = ComputeChart(*store, OneDevice());
    if (!chart) Die(chart.failure().reason);
    benchmark::DoNotOptimize(chart->bars.size());
  }
}

void Statistics(benchmark::State& state, HistoryStore* store) {
  for (auto _ : state) {
    Result<AlarmStatistics> statistics = ComputeAlarmStatistics(*store, OneDevice());
    if (!statistics) Die(statistics.failure().reason);
    benchmark::DoNotOptimize(statistics->devices.size());
  }
}

void Pdf(benchmark::State& state, HistoryStore* store) {
  const std::string path =
      (std::filesystem::path(TORVDOC_BENCH_DIR) / "history-bench-10y.pdf").string();
  const EventQuery query = OneDevice();
  for (auto _ : state) {
    if (Status s = WriteHistoryPdf(*store, query, HeadingFor(query, 1733000000), path); !s) {
      Die(s.failure().reason);
    }
  }
  struct rusage usage {};
  ::getrusage(RUSAGE_SELF, &usage);
  state.counters["peak_MiB"] = static_cast<double>(usage.ru_maxrss) / 1024;
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
  std::filesystem::remove(path);
}

}  // namespace
}  // namespace torv

int main(int argc, char** argv) {
  using namespace torv;
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  const std::string file =
      (std::filesystem::path(TORVDOC_BENCH_DIR) / "history-bench-10y.sqlite3").string();
  std::unique_ptr<history::HistoryStore> sqlite =
      OpenWithTenYears({history::StoreKind::kSqlite, file, file});
  std::unique_ptr<history::HistoryStore> postgres;
  if (std::getenv("TORVDOC_BENCH_NO_PG") == nullptr) {
    const std::string uri = bench::BenchServerUri("history-stats-bench-postgres");
    if (uri.empty()) Die("no PostgreSQL server");
    postgres =
        OpenWithTenYears({history::StoreKind::kPostgres, uri, history::WithoutPassword(uri)});
  }
  const auto add = [](const std::string& name,
                      void (*run)(benchmark::State&, history::HistoryStore*),
                      history::HistoryStore* store) {
    benchmark::RegisterBenchmark(name.c_str(), run, store)
        ->Unit(benchmark::kMillisecond)
        ->Repetitions(5)
        ->ReportAggregatesOnly();
  };
  add("ChartTenYears/sqlite", Chart, sqlite.get());
  add("StatisticsTenYears/sqlite", Statistics, sqlite.get());
  // Once: a run takes several seconds, and the peak is the process's.
  benchmark::RegisterBenchmark("PdfTenYears/sqlite", Pdf, sqlite.get())
      ->Unit(benchmark::kMillisecond)
      ->Iterations(1);
  if (postgres) {
    add("ChartTenYears/postgres", Chart, postgres.get());
    add("StatisticsTenYears/postgres", Statistics, postgres.get());
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
