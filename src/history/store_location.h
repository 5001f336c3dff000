// Where the history store lives: a --db value, else TORVDOC_DB, else
// $XDG_DATA_HOME/torvdoc/history.sqlite3 (~/.local/share/torvdoc/... when
// XDG_DATA_HOME is unset). A plain path or sqlite:PATH is an SQLite file;
// postgresql://... or postgres://... (in any letter case) or libpq's
// "key=value ..." form is a PostgreSQL server. Any other "scheme:/..." is
// refused: an address mistyped must never become a file.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "archive/result.h"

namespace torv::history {

enum class StoreKind { kSqlite, kPostgres };

struct StoreLocation {
  StoreKind kind = StoreKind::kSqlite;
  std::string target;  // the file path, or the whole URI for libpq
  std::string shown;   // for messages: the path, or the URI without its password
};

// The environment variables that choose the store.
struct StoreEnvironment {
  std::optional<std::string> torvdocDb;
  std::optional<std::string> xdgDataHome;
  std::optional<std::string> home;
};
StoreEnvironment ProcessStoreEnvironment();

// Fails only when nothing names a store: no --db, no TORVDOC_DB and no HOME.
Result<StoreLocation> ResolveStoreLocation(const std::optional<std::string>& dbOption,
                                           const StoreEnvironment& environment);

// One --db or TORVDOC_DB value; an empty value and an unknown scheme are
// refused.
Result<StoreLocation> ParseStoreLocation(std::string_view text);

// True when writing `path` would write over the SQLite store of `location`:
// its file, or one of the files SQLite keeps beside it (-wal, -shm,
// -journal), under whatever name leads there, whether that file exists yet
// or not. Never for a PostgreSQL store.
bool IsPartOfStore(const std::string& path, const StoreLocation& location);

// The URI without the password of its user part and without a password
// parameter, fit for any message.
std::string WithoutPassword(std::string_view uri);

}  // namespace torv::history
