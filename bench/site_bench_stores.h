// The stores the site benchmark measures: an SQLite file in the build folder,
// or a schema of its own on the PostgreSQL server (bench_postgres_server.h),
// each made empty again before a first import. Also what a store takes on
// disk.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "bench_postgres_server.h"
#include "history/history_store.h"
#include "history/postgres_module.h"
#include "history/sqlite_connection.h"
#include "history/store_location.h"

namespace torv::bench {

struct SiteStore {
  std::string name;  // "sqlite" or "postgres", as the benchmarks are named
  history::StoreLocation location;
  // PostgreSQL: the server's URI without the schema, and the schema.
  std::string serverUri;
  std::string schema;

  bool IsPostgres() const { return location.kind == history::StoreKind::kPostgres; }
};

[[noreturn]] inline void SiteDie(const std::string& what) {
  std::fprintf(stderr, "site_bench: %s\n", what.c_str());
  std::exit(1);
}

inline SiteStore SqliteSiteStore(const std::filesystem::path& path) {
  return {"sqlite", {history::StoreKind::kSqlite, path.string(), path.string()}, {}, {}};
}

// A store in `schema` of the server at `serverUri` (a URI with a query part).
inline SiteStore PostgresSiteStore(const std::string& serverUri, const std::string& schema) {
  // libpq passes "options" to the server: every statement runs in the schema.
  const std::string uri = serverUri + "&options=-c%20search_path%3D" + schema;
  return {"postgres",
          {history::StoreKind::kPostgres, uri, history::WithoutPassword(uri)},
          serverUri,
          schema};
}

// A connection of the store's own kind, for the floors and the sizes.
inline std::unique_ptr<history::SqlConnection> RawConnection(const SiteStore& store,
                                                             history::OpenMode mode) {
  Result<std::unique_ptr<history::SqlConnection>> db =
      store.IsPostgres() ? history::OpenPostgresThroughModule(store.location.target)
                         : history::OpenSqlite(store.location.target, mode);
  if (!db) SiteDie(db.failure().reason);
  return std::move(*db);
}

// Leaves nothing of the store behind: the next open makes it anew.
inline void EmptyStore(const SiteStore& store) {
  if (!store.IsPostgres()) {
    for (const char* suffix : {"", "-wal", "-shm"}) {
      std::filesystem::remove(store.location.target + suffix);
    }
    return;
  }
  Result<std::unique_ptr<history::SqlConnection>> admin =
      history::OpenPostgresThroughModule(store.serverUri);
  if (!admin) SiteDie(admin.failure().reason);
  const Status made = (*admin)->ExecScript("DROP SCHEMA IF EXISTS " + store.schema +
                                           " CASCADE; CREATE SCHEMA " + store.schema);
  if (!made) SiteDie(made.failure().reason);
}

struct StoreBytes {
  std::int64_t events = 0;  // the events table with its indexes
  std::int64_t whole = 0;   // everything the store holds, kept copies included
};

// SQLite: the pages dbstat counts per table and index, and the file;
// PostgreSQL: the relations' sizes on the server, indexes and TOAST included.
inline StoreBytes SizeOf(const SiteStore& store) {
  std::unique_ptr<history::SqlConnection> db = RawConnection(store, history::OpenMode::kRead);
  StoreBytes bytes;
  const auto one = [&](const std::string& sql, std::int64_t& into) {
    const Status s = db->Query(sql, {}, [&](const history::SqlRow& row) { into = row.Int(0); });
    if (!s) SiteDie(s.failure().reason);
  };
  if (store.IsPostgres()) {
    one("SELECT pg_total_relation_size('events')", bytes.events);
    one("SELECT CAST(SUM(pg_total_relation_size(c.oid)) AS BIGINT) FROM pg_class c "
        "JOIN pg_namespace n ON n.oid = c.relnamespace "
        "WHERE n.nspname = current_schema() AND c.relkind IN ('r', 'm')",
        bytes.whole);
  } else {
    one("SELECT SUM(pgsize) FROM dbstat WHERE name IN "
        "(SELECT name FROM sqlite_schema WHERE tbl_name = 'events')",
        bytes.events);
    one("SELECT page_count * page_size FROM pragma_page_count(), pragma_page_size()", bytes.whole);
  }
  return bytes;
}

}  // namespace torv::bench
