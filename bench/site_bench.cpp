// A site on SQLite: TORVDOC_SITE_DEVICES devices (31) copied weekly for
// TORVDOC_SITE_YEARS years (5), with gaps, generated here
// (tests/models/site_simulation.h). Measures, each against its floor taken
// in the same run:
//   FirstImport        every copy into a new store, device by device, as
//                      `history import` of many files does it;
//   PlainInsertFloor   the same new rows into a plain table, one transaction
//                      per copy;
//   MonthAllDevices    one month of every device, listed;
//   MonthIndexedFloor  the same rows read straight through the date index;
//   WeeklyRoutine      one new copy for each device, one torvdoc-cli each;
//   ListSiteToFile     the whole store's CSV with -o: peak memory (KiB).
// The first import also checks that every device's history is exactly what
// the generator says.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "history/archive_copy.h"
#include "history/history_store.h"
#include "history/sqlite_connection.h"
#include "history/stored_columns.h"
#include "history/year_rule.h"
#include "models/site_simulation.h"

namespace torv {
namespace {

using namespace history;
namespace fs = std::filesystem;

int Setting(const char* name, int fallback) {
  const char* text = std::getenv(name);
  return text != nullptr ? std::atoi(text) : fallback;
}

void Die(const std::string& what) {
  std::fprintf(stderr, "site_bench: %s\n", what.c_str());
  std::exit(1);
}

struct Site {
  SiteOptions options;
  std::unique_ptr<SiteSimulation> simulation;
  std::map<std::string, std::vector<ArchiveCopy>> copies;  // by device, in order
  std::vector<int> newRows;  // per copy, in the order FirstImport stores them
  fs::path store = fs::path(TORVDOC_BENCH_DIR) / "site-bench.sqlite3";
  int years = 5;
};

Site& TheSite() {
  static Site site;
  return site;
}

void RemoveStore(const fs::path& path) {
  for (const char* suffix : {"", "-wal", "-shm"}) fs::remove(path.string() + suffix);
}

StoreLocation SqliteAt(const fs::path& path) {
  return {StoreKind::kSqlite, path.string(), path.string()};
}

// Every device's history must be what the generator says.
void CheckExact(benchmark::State& state, HistoryStore& store) {
  Result<std::vector<DeviceSummary>> devices = store.Devices();
  const std::vector<SiteDeviceTotals> totals = TheSite().simulation->Totals();
  bool exact = devices && devices->size() == totals.size();
  std::int64_t events = 0;
  std::int64_t gaps = 0;
  for (std::size_t i = 0; exact && i < totals.size(); ++i) {
    const DeviceSummary& got = (*devices)[i];
    exact = got.device == totals[i].name && got.events == totals[i].events &&
            got.copies == totals[i].copies && got.gaps == totals[i].gaps && got.firstDated &&
            got.lastDated && got.firstDated->record == *totals[i].firstDated &&
            got.lastDated->record == *totals[i].lastDated &&
            got.firstDated->year == totals[i].firstYear &&
            got.lastDated->year == totals[i].lastYear;
    events += got.events;
    gaps += got.gaps;
    if (!exact) {
      std::fprintf(stderr,
                   "site_bench: %s holds %lld events, %lld copies, %lld gaps; the generator "
                   "says %lld, %lld, %lld\n",
                   got.device.c_str(), static_cast<long long>(got.events),
                   static_cast<long long>(got.copies), static_cast<long long>(got.gaps),
                   static_cast<long long>(totals[i].events),
                   static_cast<long long>(totals[i].copies),
                   static_cast<long long>(totals[i].gaps));
    }
  }
  if (!exact) Die("the site's histories differ from the generator's");
  state.counters["events"] = static_cast<double>(events);
  state.counters["gaps"] = static_cast<double>(gaps);
}

void FirstImport(benchmark::State& state) {
  Site& site = TheSite();
  std::int64_t copies = 0;
  for (auto _ : state) {
    state.PauseTiming();
    RemoveStore(site.store);
    site.newRows.clear();
    state.ResumeTiming();
    Result<std::unique_ptr<HistoryStore>> store =
        OpenHistoryStore(SqliteAt(site.store), OpenMode::kWrite);
    if (!store) Die(store.failure().reason);
    copies = 0;
    for (const auto& [device, list] : site.copies) {
      for (std::size_t at = 0; at < list.size(); at += kCopiesPerTransaction) {
        const std::vector<ArchiveCopy> group(
            list.begin() + static_cast<std::ptrdiff_t>(at),
            list.begin() +
                static_cast<std::ptrdiff_t>(std::min(at + kCopiesPerTransaction, list.size())));
        Result<std::vector<ImportOutcome>> outcomes = (*store)->ImportAll(device, group);
        if (!outcomes) Die(outcomes.failure().reason);
        for (const ImportOutcome& outcome : *outcomes) site.newRows.push_back(outcome.newEvents);
        copies += static_cast<std::int64_t>(group.size());
      }
    }
    state.PauseTiming();
    CheckExact(state, **store);
    state.ResumeTiming();
  }
  state.counters["copies"] = static_cast<double>(copies);
  state.counters["bytes_per_event"] =
      static_cast<double>(fs::file_size(site.store)) / state.counters["events"];
}

// The same new rows as FirstImport stored, as they stand in its copies, into
// a plain table without keys or indexes: one prepared single-row insert each,
// one transaction per copy.
void PlainInsertFloor(benchmark::State& state) {
  Site& site = TheSite();
  const fs::path path = fs::path(TORVDOC_BENCH_DIR) / "site-bench-floor.sqlite3";
  for (auto _ : state) {
    state.PauseTiming();
    RemoveStore(path);
    state.ResumeTiming();
    Result<std::unique_ptr<SqlConnection>> opened = OpenSqlite(path.string(), OpenMode::kWrite);
    if (!opened) Die(opened.failure().reason);
    SqlConnection& db = **opened;
    if (!db.ReadBesideWriter() ||
        !db.ExecScript("CREATE TABLE plain (device INTEGER, moment INTEGER, spare INTEGER, "
                       "date_key INTEGER, kind INTEGER, number INTEGER)")) {
      Die("the plain table");
    }
    std::size_t copyIndex = 0;
    std::int64_t device = 0;
    for (const auto& [name, list] : site.copies) {
      ++device;
      for (const ArchiveCopy& copy : list) {
        const int rows = site.newRows.at(copyIndex++);
        const std::vector<std::optional<int>> years = YearsOf(copy.records, copy.copiedAt);
        if (!db.ExecScript("BEGIN")) Die("begin");
        for (std::size_t i = copy.records.size() - static_cast<std::size_t>(rows);
             i < copy.records.size(); ++i) {
          const StoredColumns columns = ColumnsOf(copy.records[i], years[i]);
          if (!db.Exec("INSERT INTO plain VALUES ($1, $2, $3, $4, $5, $6)",
                       {device, columns.moment, std::int64_t{copy.records[i].bytes[kSpareByte]},
                        columns.dateKey, columns.kind, columns.number})) {
            Die("insert");
          }
        }
        if (!db.Commit()) Die("commit");
      }
    }
  }
}

EventQuery SiteMonth() {
  EventQuery query;
  const int year = 2024 + TheSite().years / 2;
  query.from = CalendarDate{year, 6, 1};
  query.to = CalendarDate{year, 6, 30};
  return query;
}

void MonthAllDevices(benchmark::State& state) {
  Result<std::unique_ptr<HistoryStore>> store =
      OpenHistoryStore(SqliteAt(TheSite().store), OpenMode::kRead);
  if (!store) Die(store.failure().reason);
  std::int64_t events = 0;
  for (auto _ : state) {
    events = 0;
    const Status s = (*store)->ForEachEvent(SiteMonth(), [&](const StoredEvent&) { ++events; });
    if (!s) Die(s.failure().reason);
  }
  state.counters["events"] = static_cast<double>(events);
}

void MonthIndexedFloor(benchmark::State& state) {
  Result<std::unique_ptr<SqlConnection>> db = OpenSqlite(TheSite().store.string(), OpenMode::kRead);
  if (!db) Die(db.failure().reason);
  const EventQuery month = SiteMonth();
  std::int64_t events = 0;
  for (auto _ : state) {
    events = 0;
    std::vector<std::int64_t> stretches;
    Status s = (*db)->Query("SELECT id FROM stretches", {},
                            [&](const SqlRow& row) { stretches.push_back(row.Int(0)); });
    for (const std::int64_t stretch : stretches) {
      s = (*db)->Query(
          "SELECT pos, moment, spare, date_key FROM events INDEXED BY events_by_date "
          "WHERE stretch_id = $1 AND date_key >= $2 AND date_key <= $3",
          {stretch, month.from->Key(), month.to->Key()},
          [&](const SqlRow& row) { events += row.Int(0) >= 0 || row.Int(1) >= 0 ? 1 : 0; });
      if (!s) Die(s.failure().reason);
    }
  }
  state.counters["events"] = static_cast<double>(events);
}

// Runs argv to its end with standard output and error to /dev/null; the
// program's exit status.
int Spawn(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t child = 0;
  int status = -1;
  if (posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
    waitpid(child, &status, 0);
  }
  posix_spawn_file_actions_destroy(&actions);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string CopiedAtText(std::int64_t unixSeconds) {
  const std::time_t time = static_cast<std::time_t>(unixSeconds);
  std::tm utc{};
  gmtime_r(&time, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &utc);
  return text;
}

void WeeklyRoutine(benchmark::State& state) {
  Site& site = TheSite();
  const fs::path folder = fs::path(TORVDOC_BENCH_DIR) / "site-bench-week";
  fs::create_directories(folder);
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<std::vector<std::string>> commands;
    site.simulation->RunWeeks(1, [&](const std::string& device, const SimulatedDevice& now) {
      const fs::path file = folder / (device + ".dat");
      const std::vector<std::uint8_t> bytes = now.ArchiveBytes();
      std::ofstream(file, std::ios::binary)
          .write(reinterpret_cast<const char*>(bytes.data()),
                 static_cast<std::streamsize>(bytes.size()));
      commands.push_back({TORVDOC_CLI_PATH, "history", "import", file.string(), "--device", device,
                          "--copied-at", CopiedAtText(now.Now().unixSeconds), "--db",
                          site.store.string()});
    });
    state.ResumeTiming();
    for (const auto& command : commands) {
      if (Spawn(command) != 0) Die("torvdoc-cli history import failed");
    }
  }
}

void ListSiteToFile(benchmark::State& state) {
  const fs::path out = fs::path(TORVDOC_BENCH_DIR) / "site-bench.csv";
  const fs::path peak = fs::path(TORVDOC_BENCH_DIR) / "site-bench-peak.txt";
  for (auto _ : state) {
    const std::string command = std::string(TORVDOC_PEAK_MEMORY_PATH) + " " + TORVDOC_CLI_PATH +
                                " history list --format csv -o '" + out.string() + "' --db '" +
                                TheSite().store.string() + "' 2>'" + peak.string() + "'";
    if (std::system(command.c_str()) != 0) Die("the listing failed");
  }
  std::ifstream in(peak);
  std::string word;
  long kib = 0;
  in >> word >> word >> kib;
  state.counters["peak_kib"] = static_cast<double>(kib);
  state.counters["bytes"] = static_cast<double>(fs::file_size(out));
}

}  // namespace
}  // namespace torv

int main(int argc, char** argv) {
  using namespace torv;
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  // The weekly copies are taken at the devices' clocks, which run in UTC.
  ::setenv("TZ", "UTC", 1);
  ::tzset();
  Site& site = TheSite();
  site.options.devices = Setting("TORVDOC_SITE_DEVICES", 31);
  site.years = Setting("TORVDOC_SITE_YEARS", 5);
  site.simulation = std::make_unique<history::SiteSimulation>(site.options);
  site.simulation->RunWeeks(52 * site.years,
                            [&](const std::string& device, const history::SimulatedDevice& now) {
                              site.copies[device].push_back(now.CopyNow());
                            });
  std::fprintf(stderr, "site_bench: %d devices, %d years\n", site.options.devices, site.years);
  const auto add = [](const char* name, void (*function)(benchmark::State&), int repetitions) {
    benchmark::RegisterBenchmark(name, function)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(1)
        ->Repetitions(repetitions)
        ->ReportAggregatesOnly(repetitions > 1);
  };
  const int heavy = Setting("TORVDOC_SITE_REPETITIONS", 3);
  add("FirstImport/sqlite", FirstImport, heavy);
  add("PlainInsertFloor/sqlite", PlainInsertFloor, heavy);
  add("MonthAllDevices/sqlite", MonthAllDevices, 5);
  add("MonthIndexedFloor/sqlite", MonthIndexedFloor, 5);
  add("ListSiteToFile/sqlite", ListSiteToFile, 1);
  add("WeeklyRoutine/sqlite", WeeklyRoutine, 5);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
