// The history store at the size of a site: 31 devices, about a million
// events. Measures an import of a copy with 64 new records (the copy kept),
// one device's month listed, a CSV export of the whole store, and the
// withdrawal of one copy of a device with 200,000 events and verifying that
// device, on SQLite and on PostgreSQL.
//
// The SQLite store is built once and kept in the build folder
// (history-bench-1m.sqlite3); each run works on a copy of it. PostgreSQL:
// TORVDOC_BENCH_PG_URI names a database to use, else a server is started in
// a temporary folder (tests/postgres_test_server.sh) and the store is built
// there, which takes a minute or two.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench_postgres_server.h"
#include "history/history_store.h"
#include "history/postgres_module.h"
#include "history_report/event_list.h"
#include "history_report/listing_coverage.h"
#include "history_report/listing_digest.h"
#include "models/device_simulation.h"

namespace torv {
namespace {

using namespace history;

constexpr int kDevices = 31;
constexpr int kCopiesPerDevice = 32;  // after the first, each adds 1000 events
constexpr int kImportIterations = 300;

SimulationOptions DeviceOptions(int device) {
  SimulationOptions options;
  options.seed = 1000 + static_cast<std::uint32_t>(device);
  options.startUnixSeconds = 1704067200;  // 1 January 2024
  return options;
}

std::string DeviceName(int device) {
  char name[8];
  std::snprintf(name, sizeof name, "%02d", device + 1);
  return name;
}

void Die(const std::string& what) {
  std::fprintf(stderr, "history_bench: %s\n", what.c_str());
  std::exit(1);
}

// Imports every device's copies: 31 x (1024 + 32 x 1000) events.
void Build(HistoryStore& store) {
  for (int device = 0; device < kDevices; ++device) {
    SimulatedDevice simulated(DeviceOptions(device));
    simulated.Write(1024);
    for (int copy = 0; copy <= kCopiesPerDevice; ++copy) {
      if (copy > 0) simulated.Write(1000);
      Result<ImportOutcome> outcome = store.Import(DeviceName(device), simulated.CopyNow());
      if (!outcome) Die("building the store: " + outcome.failure().reason);
    }
  }
}

std::int64_t EventCount(HistoryStore& store) {
  Result<std::int64_t> count = store.Count({});
  return count ? *count : -1;
}

// Copies of device 01 that each add 64 events to what the store holds.
std::vector<ArchiveCopy> ImportCopies() {
  SimulatedDevice simulated(DeviceOptions(0));
  simulated.Write(1024 + 1000 * kCopiesPerDevice);
  std::vector<ArchiveCopy> copies;
  for (int i = 0; i < kImportIterations; ++i) {
    simulated.Write(64);
    copies.push_back(simulated.CopyNow());
  }
  return copies;
}

void ImportBenchmark(benchmark::State& state, HistoryStore* store) {
  static const std::vector<ArchiveCopy> copies = ImportCopies();
  // Repetitions go on where the last one stopped: each copy adds 64 events once.
  static std::map<HistoryStore*, std::size_t> nextOf;
  std::size_t& next = nextOf[store];
  for (auto _ : state) {
    if (next == copies.size()) {
      state.SkipWithError("more iterations than prepared copies");
      break;
    }
    Result<ImportOutcome> outcome = store->Import(DeviceName(0), copies[next++]);
    if (!outcome || outcome->newEvents != 64) {
      state.SkipWithError("the import did not add 64 events");
      break;
    }
  }
}

// A device of 200,000 events: its first copy, then 199 that add 1000 each.
constexpr char kWithdrawDevice[] = "W";
constexpr int kWithdrawCopies = 200;

std::vector<ArchiveCopy> WithdrawDeviceCopies() {
  SimulatedDevice simulated(DeviceOptions(kDevices));
  simulated.Write(1024);
  std::vector<ArchiveCopy> copies;
  for (int copy = 0; copy < kWithdrawCopies; ++copy) {
    if (copy > 0) simulated.Write(1000);
    copies.push_back(simulated.CopyNow());
  }
  return copies;
}

void BuildWithdrawDevice(HistoryStore& store) {
  for (const ArchiveCopy& copy : WithdrawDeviceCopies()) {
    Result<ImportOutcome> outcome = store.Import(kWithdrawDevice, copy);
    if (!outcome) Die("building the device to withdraw from: " + outcome.failure().reason);
  }
}

// Withdraws a copy from the middle of the device's history, which is rebuilt
// from the other 199; the copy is imported again, untimed, for the next one.
// Verifies the device of 200,000 events: every copy re-hashed, the device
// merged again and compared with what is stored.
void VerifyBenchmark(benchmark::State& state, HistoryStore* store) {
  for (auto _ : state) {
    Result<history::Verification> verified = store->Verify({std::string(kWithdrawDevice)});
    if (!verified || verified->problem) Die("verifying the device");
  }
}

void WithdrawBenchmark(benchmark::State& state, HistoryStore* store) {
  static const std::vector<ArchiveCopy> copies = WithdrawDeviceCopies();
  const ArchiveCopy& middle = copies[kWithdrawCopies / 2];
  for (auto _ : state) {
    state.PauseTiming();
    Result<std::vector<KeptCopy>> kept = store->Copies(std::string(kWithdrawDevice));
    if (!kept) Die(kept.failure().reason);
    std::int64_t id = 0;
    for (const KeptCopy& copy : *kept) {
      if (!copy.withdrawn && copy.copiedAt == middle.copiedAt.unixSeconds) id = copy.id;
    }
    state.ResumeTiming();
    Result<std::vector<RebuiltDevice>> rebuilt = store->Withdraw({id}, "benchmark");
    state.PauseTiming();
    if (!rebuilt) Die(rebuilt.failure().reason);
    if (!store->Import(kWithdrawDevice, middle)) Die("importing the copy again");
    state.ResumeTiming();
  }
}

EventQuery DeviceMonth();

void MonthBenchmark(benchmark::State& state, HistoryStore* store) {
  const EventQuery query = DeviceMonth();
  std::size_t bytes = 0;
  for (auto _ : state) {
    std::string out;
    const Status s = WriteTextList(*store, query, [&](std::string_view piece) { out += piece; });
    if (!s) state.SkipWithError(s.failure().reason.c_str());
    bytes = out.size();
    benchmark::DoNotOptimize(out);
  }
  state.counters["bytes"] = static_cast<double>(bytes);
}

// A device-month's rows alone, and with their digest taken: what the digest
// adds to a listing.
EventQuery DeviceMonth() {
  EventQuery query;
  query.devices = {DeviceName(6)};
  query.from = CalendarDate{2024, 10, 1};
  query.to = CalendarDate{2024, 10, 31};
  return query;
}

void MonthRowsBenchmark(benchmark::State& state, HistoryStore* store, bool digested) {
  const EventQuery query = DeviceMonth();
  for (auto _ : state) {
    ListingDigest digest(query);
    std::size_t rows = 0;
    const Status s = ForEachListedRow(*store, query, [&](const ListedRow& row) {
      ++rows;
      if (digested) digest.Add(row);
    });
    if (!s) state.SkipWithError(s.failure().reason.c_str());
    benchmark::DoNotOptimize(rows);
    if (digested) benchmark::DoNotOptimize(digest.Hex());
  }
}

// What a device-month listing reads besides its rows: its coverage and the
// journal's newest entry.
void MonthCoverageBenchmark(benchmark::State& state, HistoryStore* store) {
  const EventQuery query = DeviceMonth();
  for (auto _ : state) {
    Result<ListingFrame> frame = ReadListingFrame(*store, query);
    if (!frame) state.SkipWithError(frame.failure().reason.c_str());
    benchmark::DoNotOptimize(frame);
  }
}

void ExportBenchmark(benchmark::State& state, HistoryStore* store) {
  const std::int64_t events = EventCount(*store);
  for (auto _ : state) {
    std::size_t bytes = 0;
    const Status s = WriteCsvList(*store, {}, Rfc4180Dialect(), false,
                                  [&](std::string_view piece) { bytes += piece.size(); });
    if (!s) state.SkipWithError(s.failure().reason.c_str());
    benchmark::DoNotOptimize(bytes);
  }
  state.SetItemsProcessed(state.iterations() * events);
}

std::unique_ptr<HistoryStore> OpenOrDie(const StoreLocation& location) {
  Result<std::unique_ptr<HistoryStore>> store = OpenHistoryStore(location, OpenMode::kWrite);
  if (!store) Die(store.failure().reason);
  return std::move(*store);
}

std::unique_ptr<HistoryStore> SqliteStore() {
  const std::filesystem::path cached =
      std::filesystem::path(TORVDOC_BENCH_DIR) / "history-bench-1m.sqlite3";
  const std::filesystem::path working =
      std::filesystem::path(TORVDOC_BENCH_DIR) / "history-bench-run.sqlite3";
  if (!std::filesystem::exists(cached)) {
    std::fprintf(stderr, "history_bench: building %s once\n", cached.c_str());
    const std::filesystem::path building = cached.string() + ".building";
    std::filesystem::remove(building);
    {
      auto store = OpenOrDie({StoreKind::kSqlite, building.string(), building.string()});
      Build(*store);
    }
    std::filesystem::rename(building, cached);
  }
  for (const char* suffix : {"", "-wal", "-shm"}) {
    std::filesystem::remove(working.string() + suffix);
  }
  std::filesystem::copy_file(cached, working);
  return OpenOrDie({StoreKind::kSqlite, working.string(), working.string()});
}

std::unique_ptr<HistoryStore> PostgresStore() {
  const std::string uri = bench::BenchServerUri("history-bench-postgres");
  if (uri.empty()) Die("no PostgreSQL server");
  auto store = OpenOrDie({StoreKind::kPostgres, uri, WithoutPassword(uri)});
  if (EventCount(*store) == 0) {
    std::fprintf(stderr, "history_bench: building the PostgreSQL store\n");
    Build(*store);
  }
  return store;
}

}  // namespace
}  // namespace torv

int main(int argc, char** argv) {
  using namespace torv;
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  const bool withPostgres = std::getenv("TORVDOC_BENCH_NO_PG") == nullptr;
  std::unique_ptr<history::HistoryStore> sqlite = SqliteStore();
  std::unique_ptr<history::HistoryStore> postgres;
  if (withPostgres) postgres = PostgresStore();
  // The withdrawals work on a store of their own, and on the server's.
  const std::filesystem::path withdrawPath =
      std::filesystem::path(TORVDOC_BENCH_DIR) / "history-bench-withdraw.sqlite3";
  for (const char* suffix : {"", "-wal", "-shm"}) {
    std::filesystem::remove(withdrawPath.string() + suffix);
  }
  std::unique_ptr<history::HistoryStore> withdrawStore =
      OpenOrDie({StoreKind::kSqlite, withdrawPath.string(), withdrawPath.string()});
  BuildWithdrawDevice(*withdrawStore);
  if (postgres) {
    Result<std::vector<history::KeptCopy>> built = postgres->Copies(std::string(kWithdrawDevice));
    if (built && built->empty()) BuildWithdrawDevice(*postgres);
  }
  std::fprintf(stderr, "history_bench: %lld events in the store\n",
               static_cast<long long>(EventCount(*sqlite)));

  const auto add = [](const char* name, auto function, history::HistoryStore* store,
                      int iterations) {
    auto* benchmark = benchmark::RegisterBenchmark(name, function, store);
    // Wall time: a server works in processes of its own.
    benchmark->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Repetitions(5)
        ->ReportAggregatesOnly(true);
    if (iterations > 0) benchmark->Iterations(iterations);
  };
  add("ImportCopyWith64New/sqlite", ImportBenchmark, sqlite.get(), 50);
  add("ListDeviceMonth/sqlite", MonthBenchmark, sqlite.get(), 0);
  add(
      "MonthRows/sqlite",
      [](benchmark::State& s, HistoryStore* h) { MonthRowsBenchmark(s, h, false); }, sqlite.get(),
      0);
  add(
      "MonthRowsWithDigest/sqlite",
      [](benchmark::State& s, HistoryStore* h) { MonthRowsBenchmark(s, h, true); }, sqlite.get(),
      0);
  add("MonthCoverage/sqlite", MonthCoverageBenchmark, sqlite.get(), 0);
  add("CsvExportWholeStore/sqlite", ExportBenchmark, sqlite.get(), 1);
  add("WithdrawOneCopyOf200k/sqlite", WithdrawBenchmark, withdrawStore.get(), 1);
  add("VerifyDeviceOf200k/sqlite", VerifyBenchmark, withdrawStore.get(), 1);
  if (postgres) {
    add("ImportCopyWith64New/postgres", ImportBenchmark, postgres.get(), 50);
    add("ListDeviceMonth/postgres", MonthBenchmark, postgres.get(), 0);
    add(
        "MonthRows/postgres",
        [](benchmark::State& s, HistoryStore* h) { MonthRowsBenchmark(s, h, false); },
        postgres.get(), 0);
    add(
        "MonthRowsWithDigest/postgres",
        [](benchmark::State& s, HistoryStore* h) { MonthRowsBenchmark(s, h, true); },
        postgres.get(), 0);
    add("MonthCoverage/postgres", MonthCoverageBenchmark, postgres.get(), 0);
    add("CsvExportWholeStore/postgres", ExportBenchmark, postgres.get(), 1);
    add("WithdrawOneCopyOf200k/postgres", WithdrawBenchmark, postgres.get(), 1);
    add("VerifyDeviceOf200k/postgres", VerifyBenchmark, postgres.get(), 1);
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
