// The few things the history store asks of a database, so that one store
// speaks to SQLite and to PostgreSQL alike. Statements number their
// parameters $1, $2, ...; every statement text is cached as a prepared
// statement by the connection.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "archive/result.h"

namespace torv::history {

using SqlValue = std::variant<std::nullptr_t, std::int64_t, std::string>;

// One result row, valid only inside the row callback.
class SqlRow {
 public:
  virtual ~SqlRow() = default;
  virtual bool IsNull(int column) const = 0;
  virtual std::int64_t Int(int column) const = 0;
  virtual std::string Text(int column) const = 0;
};

enum class SqlDialect { kSqlite, kPostgres };

enum class OpenMode {
  kRead,   // listing: the store must exist; nothing is created
  kWrite,  // importing, naming: the store and its folder are created when missing
};

class SqlConnection {
 public:
  virtual ~SqlConnection() = default;
  virtual SqlDialect Dialect() const = 0;

  using RowSink = std::function<void(const SqlRow&)>;
  // Runs one statement; calls `sink` (when given) for each row.
  virtual Status Query(std::string_view sql, const std::vector<SqlValue>& parameters,
                       const RowSink& sink) = 0;
  Status Exec(std::string_view sql, const std::vector<SqlValue>& parameters = {}) {
    return Query(sql, parameters, {});
  }
  // Several statements without parameters, as one text (schema scripts).
  virtual Status ExecScript(std::string_view sql) = 0;
};

// Statements a connection keeps prepared. A text filter writes its matches
// into the statement, so a long session makes ever new texts: past this many
// the kept ones are dropped and prepared again when next used.
inline constexpr std::size_t kMaxPreparedStatements = 200;

}  // namespace torv::history
