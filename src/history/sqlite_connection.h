// The embedded store's database: one SQLite file, WAL mode, foreign keys on,
// waiting up to a busy timeout for another process's write transaction.
#pragma once

#include <memory>
#include <string>

#include "archive/result.h"
#include "history/sql_connection.h"

namespace torv::history {

// Opens the file at `path`. Refuses, and leaves untouched, a folder, a file
// that is not an SQLite database, and (for kWrite) a store it cannot write.
Result<std::unique_ptr<SqlConnection>> OpenSqlite(const std::string& path, OpenMode mode);

}  // namespace torv::history
