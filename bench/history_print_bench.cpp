// The printed history report: 10,000 events of one device to a PDF, on an
// SQLite store in a temporary folder (a gap and named inputs included).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "history/history_store.h"
#include "history_report/history_pdf.h"
#include "models/device_simulation.h"

namespace torv {
namespace {

using namespace history;

class PrintBenchStore {
 public:
  PrintBenchStore() {
    folder_ = std::filesystem::temp_directory_path() /
              ("torvdoc-print-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder_);
    const std::string path = (folder_ / "history.sqlite3").string();
    Result<std::unique_ptr<HistoryStore>> store =
        OpenHistoryStore({StoreKind::kSqlite, path, path}, OpenMode::kWrite);
    if (!store) Fail(store.failure().reason);
    store_ = std::move(*store);
    SimulationOptions options;
    options.seed = 77;
    options.maxStepSeconds = 600;
    SimulatedDevice device(options);
    device.Write(6000);
    ArchiveCopy first{device.Written(), device.Now(), "first.dat"};
    device.Write(2000);  // never copied: a gap
    device.Write(4000);
    ArchiveCopy second{{device.Written().end() - 4000, device.Written().end()}, device.Now(), ""};
    for (const ArchiveCopy& copy : {first, second}) {
      if (Result<ImportOutcome> outcome = store_->Import("Склад, ТОРВ-4 №2", copy); !outcome) {
        Fail(outcome.failure().reason);
      }
    }
    std::vector<NameEntry> names;
    for (int n = 1; n <= 32; ++n) {
      names.push_back(
          {"Склад, ТОРВ-4 №2", NumberKind::kInput, n, "Помещение " + std::to_string(n)});
    }
    if (Status s = store_->SetNames(names); !s) Fail(s.failure().reason);
  }
  ~PrintBenchStore() {
    store_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  HistoryStore& Store() { return *store_; }
  std::string PdfPath() const { return (folder_ / "report.pdf").string(); }

 private:
  [[noreturn]] static void Fail(const std::string& why) {
    std::fprintf(stderr, "history_print_bench: %s\n", why.c_str());
    std::exit(1);
  }
  std::filesystem::path folder_;
  std::unique_ptr<HistoryStore> store_;
};

void BM_TenThousandEventsToPdf(benchmark::State& state) {
  static PrintBenchStore bench;
  const EventQuery query;
  Result<std::int64_t> events = bench.Store().Count(query);
  for (auto _ : state) {
    const Status s =
        WriteHistoryPdf(bench.Store(), query, HeadingFor(query, 1733000000), bench.PdfPath());
    if (!s) state.SkipWithError(s.failure().reason.c_str());
  }
  state.counters["events"] = static_cast<double>(events ? *events : 0);
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(bench.PdfPath()));
}
BENCHMARK(BM_TenThousandEventsToPdf)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace torv

BENCHMARK_MAIN();
