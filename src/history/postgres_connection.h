// The site store's database: a PostgreSQL server reached through libpq.
#pragma once

#include <memory>
#include <string>

#include "archive/result.h"
#include "history/sql_connection.h"

namespace torv::history {

// Connects to the server named by the libpq URI `uri`. A failure names the
// host and the database; no text of it holds the password.
Result<std::unique_ptr<SqlConnection>> OpenPostgres(const std::string& uri);

}  // namespace torv::history
