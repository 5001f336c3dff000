// The few things the history store asks of a database, so that one store
// speaks to SQLite and to PostgreSQL alike: what they do differently
// (transactions, locks, type words) each connection answers for itself.
// Statements number their parameters $1, $2, ...; every statement text is
// cached as a prepared statement by the connection.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "archive/result.h"

namespace torv::history {

// Bytes kept as they are (an archive copy): a BLOB, a bytea.
struct SqlBlob {
  std::vector<std::uint8_t> bytes;
};

using SqlValue = std::variant<std::nullptr_t, std::int64_t, std::string, SqlBlob>;

// One result row, valid only inside the row callback.
class SqlRow {
 public:
  virtual ~SqlRow() = default;
  virtual bool IsNull(int column) const = 0;
  virtual std::int64_t Int(int column) const = 0;
  virtual std::string Text(int column) const = 0;
  virtual std::vector<std::uint8_t> Blob(int column) const = 0;
};

// What the databases spell differently in a statement's text.
struct SqlWords {
  std::string_view integerKey;     // an integer primary key the database numbers itself
  std::string_view integer;        // a 64-bit integer column
  std::string_view blob;           // a column of bytes
  std::string_view keyedTableEnd;  // ends a table whose rows are found by their key alone
  std::string_view lockRows;       // ends a SELECT whose rows stay locked to other writers
  std::string_view countTables;    // counts the schema's tables named $1
  // The key of a new copy: never one a removed copy had, which the journal
  // may still name.
  std::string_view newCopyId;
  // Whether the planner keeps statistics on an expression of columns (on the
  // code, say) once told to; without them it guesses how many events a
  // code filter lets through, and may read a whole table for a few rows.
  bool expressionStatistics = false;
  // Makes the events and the journal refuse UPDATE and DELETE from any
  // client but this program's connections, which are let through.
  std::string_view keptTables;
};

// Rows per INSERT statement of InsertRows: few round trips to a server, few
// statement texts, and a statement journal SQLite keeps small.
inline constexpr std::size_t kRowsPerInsert = 64;

// "INSERT INTO table (columns) VALUES ($1, ...), ..." for `rows` rows.
inline std::string InsertSql(std::string_view table, const std::vector<std::string_view>& columns,
                             std::size_t rows) {
  std::string sql = "INSERT INTO " + std::string(table) + " (";
  for (std::size_t c = 0; c < columns.size(); ++c) {
    sql += (c == 0 ? "" : ", ") + std::string(columns[c]);
  }
  sql += ") VALUES ";
  std::size_t parameter = 1;
  for (std::size_t row = 0; row < rows; ++row) {
    sql += row == 0 ? "(" : ", (";
    for (std::size_t c = 0; c < columns.size(); ++c) {
      sql += (c == 0 ? "$" : ", $") + std::to_string(parameter++);
    }
    sql += ")";
  }
  return sql;
}

enum class OpenMode {
  kRead,   // listing: the store must exist; nothing is created
  kWrite,  // importing, naming: the store and its folder are created when missing
};

class SqlConnection {
 public:
  virtual ~SqlConnection() = default;
  virtual const SqlWords& Words() const = 0;

  using RowSink = std::function<void(const SqlRow&)>;
  // Runs one statement; calls `sink` (when given) for each row.
  virtual Status Query(std::string_view sql, const std::vector<SqlValue>& parameters,
                       const RowSink& sink) = 0;
  Status Exec(std::string_view sql, const std::vector<SqlValue>& parameters = {}) {
    return Query(sql, parameters, {});
  }
  // Several statements without parameters, as one text (schema scripts).
  virtual Status ExecScript(std::string_view sql) = 0;

  // Appends rows of integers or nulls to `table`, `values` row after row
  // with one value per column: as multi-row INSERT statements, unless the
  // database has a faster way. Inline: a class without a virtual function
  // defined out of line has its vtable wherever it is used, so that the
  // PostgreSQL module needs nothing of the program that loads it.
  virtual Status InsertRows(std::string_view table, const std::vector<std::string_view>& columns,
                            const std::vector<SqlValue>& values) {
    const std::size_t perStatement = kRowsPerInsert * columns.size();
    for (std::size_t at = 0; at < values.size(); at += perStatement) {
      const std::size_t count = std::min(perStatement, values.size() - at);
      const std::vector<SqlValue> chunk(values.begin() + static_cast<std::ptrdiff_t>(at),
                                        values.begin() + static_cast<std::ptrdiff_t>(at + count));
      if (Status s = Exec(InsertSql(table, columns, count / columns.size()), chunk); !s) return s;
    }
    return {};
  }

  // Counts the rows `from` ("FROM ... WHERE ...") gives by `key`, an integer
  // expression that is never null: one call of `sink` per key, in no
  // particular order. The database does the counting; only the counts come
  // back.
  using TallySink = std::function<void(std::int64_t key, std::int64_t rows)>;
  virtual Status Tally(std::string_view key, std::string_view from,
                       const std::vector<SqlValue>& parameters, const TallySink& sink) {
    return Query("SELECT " + std::string(key) + ", count(*) " + std::string(from) + " GROUP BY 1",
                 parameters, [&](const SqlRow& row) { sink(row.Int(0), row.Int(1)); });
  }

  // The database's own check of what it holds: what was checked, or the
  // first problem found as a failure.
  virtual Result<std::string> CheckDatabase() = 0;
  // Writes a consistent copy of the whole store to `destination`, a file
  // that does not exist yet, while others may go on writing; refused where
  // the database has tools of its own for that.
  virtual Status BackupTo(const std::string& destination) = 0;

  // Whether the store's schema holds a table of that name.
  Result<bool> HasTable(const std::string& name) {
    std::int64_t count = 0;
    if (Status s =
            Query(Words().countTables, {name}, [&](const SqlRow& row) { count = row.Int(0); });
        !s) {
      return s.failure();
    }
    return count > 0;
  }

  // A transaction whose statements all see one snapshot, even while others
  // write.
  virtual Status BeginRead() = 0;
  // A transaction that no other writer runs beside where it locks: the whole
  // store at once, or the rows it selects with Words().lockRows.
  virtual Status BeginWrite() = 0;
  // Inside a write transaction: waits until no other process is changing the
  // store's layout, and keeps them out until the transaction ends.
  virtual Status LockLayout() = 0;
  // Lets readers go on beside a writer; once each time a store is opened for
  // writing.
  virtual Status ReadBesideWriter() = 0;
  Status Commit() { return ExecScript("COMMIT"); }
  Status Rollback() { return ExecScript("ROLLBACK"); }

  // Run `work` (returning Status or Result<T>) in one transaction: committed
  // after a success, rolled back after a failure.
  template <typename Work>
  auto InReadTransaction(Work&& work) -> decltype(work()) {
    return InTransaction(&SqlConnection::BeginRead, std::forward<Work>(work));
  }
  template <typename Work>
  auto InWriteTransaction(Work&& work) -> decltype(work()) {
    return InTransaction(&SqlConnection::BeginWrite, std::forward<Work>(work));
  }

 private:
  template <typename Work>
  auto InTransaction(Status (SqlConnection::*begin)(), Work&& work) -> decltype(work()) {
    if (Status begun = (this->*begin)(); !begun) return begun.failure();
    auto done = work();
    if (!done) {
      (void)Rollback();
      return done;
    }
    if (Status committed = Commit(); !committed) {
      // A commit that failed (SQLite busy, say) may leave the transaction open.
      (void)Rollback();
      return committed.failure();
    }
    return done;
  }
};

// Statements a connection keeps prepared. A text filter writes its matches
// into the statement, so a long session makes ever new texts: past this many
// the kept ones are dropped and prepared again when next used.
inline constexpr std::size_t kMaxPreparedStatements = 200;

}  // namespace torv::history
