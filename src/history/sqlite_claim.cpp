#include "history/sqlite_claim.h"

#include <sys/stat.h>

namespace torv::history {
namespace {

Result<std::int64_t> Number(SqlConnection& db, std::string_view sql) {
  std::int64_t value = 0;
  if (Status s = db.Query(sql, {}, [&](const SqlRow& row) { value = row.Int(0); }); !s) {
    return s.failure();
  }
  return value;
}

// Tables of the previous version, which had no application_id yet.
Result<bool> HasPreviousTables(SqlConnection& db) {
  for (const char* table : {"schema_version", "devices", "copies", "stretches", "events"}) {
    Result<bool> exists = db.HasTable(table);
    if (!exists || !*exists) return exists;
  }
  return true;
}

}  // namespace

Status ClaimSqliteStore(SqlConnection& db, const std::string& path, OpenMode mode) {
  struct stat file {};
  if (::stat(path.c_str(), &file) == 0 && file.st_nlink > 1) {
    return Failure{"has " + std::to_string(file.st_nlink) +
                   " hard links; a history store must have one name (SQLite locks it by name)"};
  }
  Result<std::int64_t> id = Number(db, "PRAGMA application_id");
  if (!id) return id.failure();
  if (*id == kStoreApplicationId) return {};
  const Failure foreign{"is not a history store (a database of another program)"};
  if (*id != 0) return foreign;
  Result<std::int64_t> tables = Number(db, "SELECT count(*) FROM sqlite_master");
  if (!tables) return tables.failure();
  if (*tables != 0) {
    Result<bool> previous = HasPreviousTables(db);
    if (!previous) return previous.failure();
    if (!*previous) return foreign;
  }
  if (mode == OpenMode::kRead) return {};
  return db.ExecScript("PRAGMA application_id = " + std::to_string(kStoreApplicationId));
}

}  // namespace torv::history
