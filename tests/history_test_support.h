// Stores for the history tests: a fresh SQLite file, or a fresh schema on the
// PostgreSQL server that the test set-up started (postgres_test_server.sh).
#pragma once

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "archive/sample_archive.h"
#include "history/history_store.h"
#include "history/postgres_module.h"
#include "history/sqlite_connection.h"
#include "temp_archive.h"

namespace torv::history::testing {

enum class Backend { kSqlite, kPostgres };

inline void PrintTo(Backend backend, std::ostream* out) {
  *out << (backend == Backend::kSqlite ? "SQLite" : "PostgreSQL");
}

inline std::string BackendName(const ::testing::TestParamInfo<Backend>& info) {
  return info.param == Backend::kSqlite ? "Sqlite" : "Postgres";
}

// The URI of the test server's database; fails the test when the server is
// not there (the CTest fixture starts it; a test run alone needs it too).
inline std::string PostgresTestUri() {
  const char* state = std::getenv("TORVDOC_TEST_PG_STATE");
  if (state == nullptr) {
    ADD_FAILURE() << "TORVDOC_TEST_PG_STATE is not set: run the tests through ctest, which "
                     "starts the PostgreSQL test server";
    return {};
  }
  std::ifstream in(state);
  std::string uri;
  std::getline(in, uri);
  if (uri.empty()) {
    ADD_FAILURE() << "the PostgreSQL test server is not running (no URI in " << state
                  << "): see the output of the test history_postgres_start";
  }
  return uri;
}

// The folder of the test server's socket, from its URI.
inline std::string PostgresTestSocketFolder() {
  const std::string uri = PostgresTestUri();
  const std::size_t host = uri.find("host=");
  if (host == std::string::npos) return {};
  return uri.substr(host + 5, uri.find('&', host) - host - 5);
}

// A store location of its own for one test, removed afterwards.
class TestStore {
 public:
  explicit TestStore(Backend backend) : backend_(backend) {
    if (backend == Backend::kSqlite) {
      location_ = {StoreKind::kSqlite, (folder_.path() / "history.sqlite3").string(), {}};
      location_.shown = location_.target;
      return;
    }
    static std::atomic<int> counter{0};
    schema_ = "t" + std::to_string(::getpid()) + "_" + std::to_string(counter++);
    const std::string base = PostgresTestUri();
    if (base.empty()) return;
    Result<std::unique_ptr<SqlConnection>> admin = OpenPostgresThroughModule(base);
    if (!admin) {
      ADD_FAILURE() << admin.failure().reason;
      return;
    }
    const Status made = (*admin)->ExecScript("DROP SCHEMA IF EXISTS " + schema_ +
                                             " CASCADE; CREATE SCHEMA " + schema_);
    if (!made) ADD_FAILURE() << made.failure().reason;
    // libpq passes "options" to the server: every statement runs in the schema.
    const std::string uri = base + "&options=-c%20search_path%3D" + schema_;
    location_ = {StoreKind::kPostgres, uri, WithoutPassword(uri)};
  }
  TestStore(const TestStore&) = delete;
  TestStore& operator=(const TestStore&) = delete;
  ~TestStore() {
    if (backend_ != Backend::kPostgres || schema_.empty()) return;
    const std::string base = PostgresTestUri();
    if (base.empty()) return;
    Result<std::unique_ptr<SqlConnection>> admin = OpenPostgresThroughModule(base);
    if (admin) (void)(*admin)->ExecScript("DROP SCHEMA IF EXISTS " + schema_ + " CASCADE");
  }

  const StoreLocation& location() const { return location_; }
  // The text a --db option would give for this store.
  const std::string& dbText() const { return location_.target; }
  const std::filesystem::path& folder() const { return folder_.path(); }

  std::unique_ptr<HistoryStore> Open(OpenMode mode = OpenMode::kWrite) const {
    Result<std::unique_ptr<HistoryStore>> store = OpenHistoryStore(location_, mode);
    if (!store) {
      ADD_FAILURE() << store.failure().reason;
      return nullptr;
    }
    return std::move(*store);
  }

  // A connection of the store's own kind, for looking at the tables.
  std::unique_ptr<SqlConnection> Raw() const {
    Result<std::unique_ptr<SqlConnection>> db = backend_ == Backend::kSqlite
                                                    ? OpenSqlite(location_.target, OpenMode::kWrite)
                                                    : OpenPostgresThroughModule(location_.target);
    if (!db) {
      ADD_FAILURE() << db.failure().reason;
      return nullptr;
    }
    return std::move(*db);
  }

 private:
  Backend backend_;
  torv::testing::TempFolder folder_;
  std::string schema_;
  StoreLocation location_;
};

// A text or CSV listing without what it covers and its digest (their lines
// start "Охват ", "Журнал: " and "Контрольная сумма", quoted or not), which
// the listing frame's own tests check: the rest compares as it always did.
inline std::string WithoutListingFrame(const std::string& text) {
  std::string kept;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    end = end == std::string::npos ? text.size() : end + 1;
    const std::string_view line(text.data() + start, end - start);
    const std::string_view bare = line.starts_with("\"") ? line.substr(1) : line;
    const bool frame = bare.starts_with("Охват ") || bare.starts_with("Журнал: ") ||
                       bare.starts_with("Контрольная сумма выборки");
    // The digest line follows an empty line of its own.
    if (bare.starts_with("Контрольная сумма выборки") && !kept.empty()) {
      const std::size_t last = kept.find_last_of('\n', kept.size() - 2);
      const std::string_view previous(kept.data() + (last == std::string::npos ? 0 : last + 1),
                                      kept.size() - (last == std::string::npos ? 0 : last + 1));
      if (previous == "\n" || previous == "\r\n" || previous == "\"\"\n" ||
          previous == "\"\"\r\n" || previous == "\"\",,,,,,\r\n") {
        kept.resize(kept.size() - previous.size());
      }
    }
    if (!frame) kept += line;
    start = end;
  }
  return kept;
}

// Everything the store shows: events, devices and names, as one text.
inline std::string StoreListing(HistoryStore& store) {
  std::string text;
  const Status events = store.ForEachEvent({}, [&](const StoredEvent& e) {
    text += e.device + " " + std::to_string(IdentityOf(e.record)) + " " +
            std::to_string(e.year.value_or(0)) + (e.gapBefore ? " gap" : "") + "\n";
  });
  EXPECT_TRUE(events.ok());
  Result<std::vector<DeviceSummary>> devices = store.Devices();
  EXPECT_TRUE(devices.ok());
  if (devices) {
    for (const DeviceSummary& d : *devices) {
      text += "device " + d.device + " " + std::to_string(d.events) + " " +
              std::to_string(d.copies) + "\n";
    }
  }
  Result<std::vector<NameEntry>> names = store.Names();
  EXPECT_TRUE(names.ok());
  if (names) {
    for (const NameEntry& n : *names) text += "name " + n.device + " " + n.name + "\n";
  }
  return text;
}

}  // namespace torv::history::testing
