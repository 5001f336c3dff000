// A site: TORVDOC_SITE_DEVICES devices (31) copied weekly for
// TORVDOC_SITE_YEARS years (5), with gaps, generated here
// (tests/models/site_simulation.h), on SQLite and, unless
// TORVDOC_BENCH_NO_PG=1, on PostgreSQL (bench_postgres_server.h). Measures,
// each against its floor taken in the same run on the same store:
//   FirstImport        every copy into a new store, device by device, as
//                      `history import` of many files does it;
//   PlainInsertFloor   the same new rows into a plain table, one transaction
//                      per copy (SQLite: a prepared single-row insert each;
//                      PostgreSQL: the connection's COPY);
//   MonthAllDevices    one month of every device, listed;
//   MonthIndexedFloor  the same rows read straight through the date index;
//   WeeklyRoutine      one new copy for each device, one torvdoc-cli each
//                      (SQLite);
//   ListSiteToFile     the whole store's CSV with -o: peak memory (KiB)
//                      (SQLite).
// The first import also checks that every device's history is exactly what
// the generator says, and counts the store's bytes per event.
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
#include "site_bench_stores.h"

namespace torv {
namespace {

using namespace history;
using bench::SiteStore;
namespace fs = std::filesystem;

int Setting(const char* name, int fallback) {
  const char* text = std::getenv(name);
  return text != nullptr ? std::atoi(text) : fallback;
}

[[noreturn]] void Die(const std::string& what) {
  bench::SiteDie(what);
}

struct Site {
  SiteOptions options;
  std::unique_ptr<SiteSimulation> simulation;
  std::map<std::string, std::vector<ArchiveCopy>> copies;  // by device, in order
  std::vector<int> newRows;  // per copy, in the order FirstImport stores them
  SiteStore sqlite = bench::SqliteSiteStore(fs::path(TORVDOC_BENCH_DIR) / "site-bench.sqlite3");
  int years = 5;
};

Site& TheSite() {
  static Site site;
  return site;
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

void FirstImport(benchmark::State& state, const SiteStore* where) {
  Site& site = TheSite();
  std::int64_t copies = 0;
  for (auto _ : state) {
    state.PauseTiming();
    bench::EmptyStore(*where);
    site.newRows.clear();
    state.ResumeTiming();
    Result<std::unique_ptr<HistoryStore>> store =
        OpenHistoryStore(where->location, OpenMode::kWrite);
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
  const bench::StoreBytes bytes = bench::SizeOf(*where);
  state.counters["event_bytes_per_event"] =
      static_cast<double>(bytes.events) / state.counters["events"];
  state.counters["store_bytes_per_event"] =
      static_cast<double>(bytes.whole) / state.counters["events"];
}

// The same new rows as FirstImport stored, as they stand in its copies, into
// a plain table without keys or indexes, one transaction per copy: on SQLite
// one prepared single-row insert each, on the server the connection's
// fastest way (COPY), as the store's own inserts use it.
void PlainInsertFloor(benchmark::State& state, const SiteStore* where) {
  Site& site = TheSite();
  const SiteStore floor =
      where->IsPostgres()
          ? bench::PostgresSiteStore(where->serverUri, where->schema + "_floor")
          : bench::SqliteSiteStore(fs::path(TORVDOC_BENCH_DIR) / "site-bench-floor.sqlite3");
  const std::vector<std::string_view> columns{"device",   "moment", "spare",
                                              "date_key", "kind",   "number"};
  for (auto _ : state) {
    state.PauseTiming();
    bench::EmptyStore(floor);
    state.ResumeTiming();
    std::unique_ptr<SqlConnection> db = bench::RawConnection(floor, OpenMode::kWrite);
    if (!db->ReadBesideWriter() ||
        !db->ExecScript("CREATE TABLE plain (device BIGINT, moment BIGINT, spare BIGINT, "
                        "date_key BIGINT, kind BIGINT, number BIGINT)")) {
      Die("the plain table");
    }
    std::size_t copyIndex = 0;
    std::int64_t device = 0;
    std::vector<SqlValue> values;
    for (const auto& [name, list] : site.copies) {
      ++device;
      for (const ArchiveCopy& copy : list) {
        const int rows = site.newRows.at(copyIndex++);
        const std::vector<std::optional<int>> years = YearsOf(copy.records, copy.copiedAt);
        if (!db->ExecScript("BEGIN")) Die("begin");
        values.clear();
        for (std::size_t i = copy.records.size() - static_cast<std::size_t>(rows);
             i < copy.records.size(); ++i) {
          const StoredColumns c = ColumnsOf(copy.records[i], years[i]);
          const std::vector<SqlValue> row{
              device,    c.moment, std::int64_t{copy.records[i].bytes[kSpareByte]},
              c.dateKey, c.kind,   c.number};
          if (floor.IsPostgres()) {
            values.insert(values.end(), row.begin(), row.end());
          } else if (!db->Exec("INSERT INTO plain VALUES ($1, $2, $3, $4, $5, $6)", row)) {
            Die("insert");
          }
        }
        if (!values.empty() && !db->InsertRows("plain", columns, values)) Die("copy");
        if (!db->Commit()) Die("commit");
      }
    }
  }
}

// June of the site's middle year.
EventQuery SiteMonth() {
  EventQuery query;
  const int year = UtcCopyTime(TheSite().options.startUnixSeconds).year + TheSite().years / 2;
  query.from = CalendarDate{year, 6, 1};
  query.to = CalendarDate{year, 6, 30};
  return query;
}

void MonthAllDevices(benchmark::State& state, const SiteStore* where) {
  Result<std::unique_ptr<HistoryStore>> store = OpenHistoryStore(where->location, OpenMode::kRead);
  if (!store) Die(store.failure().reason);
  std::int64_t events = 0;
  for (auto _ : state) {
    events = 0;
    const Status s = (*store)->ForEachEvent(SiteMonth(), [&](const StoredEvent&) { ++events; });
    if (!s) Die(s.failure().reason);
  }
  state.counters["events"] = static_cast<double>(events);
}

// Every stretch's rows of the month, through the date index and in no
// particular order: what any listing of them has to read.
void MonthIndexedFloor(benchmark::State& state, const SiteStore* where) {
  std::unique_ptr<SqlConnection> db = bench::RawConnection(*where, OpenMode::kRead);
  const EventQuery month = SiteMonth();
  // PostgreSQL's planner takes the date index by itself for so few rows.
  const std::string sql = std::string("SELECT pos, moment, spare, date_key FROM events ") +
                          (where->IsPostgres() ? "" : "INDEXED BY events_by_date ") +
                          "WHERE stretch_id = $1 AND date_key >= $2 AND date_key <= $3";
  std::int64_t events = 0;
  for (auto _ : state) {
    events = 0;
    std::vector<std::int64_t> stretches;
    Status s = db->Query("SELECT id FROM stretches", {},
                         [&](const SqlRow& row) { stretches.push_back(row.Int(0)); });
    for (const std::int64_t stretch : stretches) {
      s = db->Query(sql, {stretch, month.from->Key(), month.to->Key()}, [&](const SqlRow& row) {
        events += row.Int(0) >= 0 || row.Int(1) >= 0 ? 1 : 0;
      });
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
                          site.sqlite.location.target});
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
                                TheSite().sqlite.location.target + "' 2>'" + peak.string() + "'";
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
  // The site ends on 1 January 2026, whatever its length: `history import`
  // refuses a copy time ahead of today's, which the weekly routine gives.
  constexpr std::int64_t kSiteEnd = 1767225600;
  constexpr std::int64_t kWeek = 7 * 24 * 3600;
  site.options.startUnixSeconds = kSiteEnd - std::int64_t{52} * site.years * kWeek;
  site.simulation = std::make_unique<history::SiteSimulation>(site.options);
  site.simulation->RunWeeks(52 * site.years,
                            [&](const std::string& device, const history::SimulatedDevice& now) {
                              site.copies[device].push_back(now.CopyNow());
                            });
  std::fprintf(stderr, "site_bench: %d devices, %d years\n", site.options.devices, site.years);
  std::vector<bench::SiteStore> stores{site.sqlite};
  if (std::getenv("TORVDOC_BENCH_NO_PG") == nullptr) {
    const std::string uri = bench::BenchServerUri("site-bench-postgres");
    if (uri.empty()) Die("no PostgreSQL server");
    stores.push_back(bench::PostgresSiteStore(uri, "site_bench"));
  }
  const auto add = [](const std::string& name, auto function, int repetitions, auto... store) {
    benchmark::RegisterBenchmark(name.c_str(), function, store...)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(1)
        ->Repetitions(repetitions)
        ->ReportAggregatesOnly(repetitions > 1);
  };
  const int heavy = Setting("TORVDOC_SITE_REPETITIONS", 3);
  // Each store's first import comes right before its floor, which inserts the
  // rows that import found new, and before the reads of the store it left.
  for (const bench::SiteStore& store : stores) {
    const bench::SiteStore* at = &store;
    add("FirstImport/" + store.name, FirstImport, heavy, at);
    add("PlainInsertFloor/" + store.name, PlainInsertFloor, heavy, at);
    add("MonthAllDevices/" + store.name, MonthAllDevices, 5, at);
    add("MonthIndexedFloor/" + store.name, MonthIndexedFloor, 5, at);
  }
  add("ListSiteToFile/sqlite", ListSiteToFile, 1);
  add("WeeklyRoutine/sqlite", WeeklyRoutine, 5);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
