// Whether an SQLite file is a history store this program may use: one it
// made (its application_id), a store of the previous version (id 0, with our
// tables and version table), or an empty file to make one in. Anything else
// is refused before anything in it changes.
#pragma once

#include <cstdint>
#include <string>

#include "archive/result.h"
#include "history/sql_connection.h"

namespace torv::history {

// "TORV": the SQLite header's application_id of a history store.
inline constexpr std::int64_t kStoreApplicationId = 0x544F5256;

// Checks the file at `path`, opened as `db`, and for kWrite marks a new or
// previous-version store as ours. A file with several hard links is refused:
// SQLite's locks work per name, so two names would let two writers in.
Status ClaimSqliteStore(SqlConnection& db, const std::string& path, OpenMode mode);

}  // namespace torv::history
