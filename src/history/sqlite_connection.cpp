#include "history/sqlite_connection.h"

#include <sqlite3.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <thread>
#include <unordered_map>

#include "history/sqlite_tally.h"

namespace torv::history {
namespace {

// Long enough for seven other importers ahead of us, each a copy of 1024 records.
constexpr int kBusyTimeoutMs = 60000;

class SqliteRow final : public SqlRow {
 public:
  explicit SqliteRow(sqlite3_stmt* statement) : statement_(statement) {}
  bool IsNull(int column) const override {
    return sqlite3_column_type(statement_, column) == SQLITE_NULL;
  }
  std::int64_t Int(int column) const override { return sqlite3_column_int64(statement_, column); }
  std::string Text(int column) const override {
    const auto* text = sqlite3_column_text(statement_, column);
    const int size = sqlite3_column_bytes(statement_, column);
    return text == nullptr ? std::string() : std::string(reinterpret_cast<const char*>(text), size);
  }
  std::vector<std::uint8_t> Blob(int column) const override {
    const auto* bytes = static_cast<const std::uint8_t*>(sqlite3_column_blob(statement_, column));
    const int size = sqlite3_column_bytes(statement_, column);
    return bytes == nullptr ? std::vector<std::uint8_t>()
                            : std::vector<std::uint8_t>(bytes, bytes + size);
  }

 private:
  sqlite3_stmt* statement_;
};

class SqliteConnection final : public SqlConnection {
 public:
  explicit SqliteConnection(sqlite3* db) : db_(db) {}
  ~SqliteConnection() override {
    FinalizeAll();
    sqlite3_close_v2(db_);
  }
  SqliteConnection(const SqliteConnection&) = delete;
  SqliteConnection& operator=(const SqliteConnection&) = delete;

  const SqlWords& Words() const override {
    static constexpr SqlWords kWords{
        .integerKey = "INTEGER PRIMARY KEY",
        .integer = "INTEGER",
        .blob = "BLOB",
        // SQLite then keeps the rows in their key rather than beside a rowid.
        .keyedTableEnd = " WITHOUT ROWID",
        // The write lock BeginWrite takes covers every row.
        .lockRows = "",
        .countTables = "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = $1",
        // SQLite would give the largest key plus one, the key of a copy
        // removed last; its write lock keeps this from racing.
        .newCopyId =
            "(SELECT max(m) + 1 FROM (SELECT coalesce(max(id), 0) AS m FROM copies "
            "UNION ALL SELECT coalesce(max(copy_id), 0) FROM journal))",
        // Every other client runs the triggers; this program's connections
        // run none (OpenSqlite).
        .keptTables = R"(
CREATE TRIGGER events_kept_on_update BEFORE UPDATE ON events
BEGIN SELECT RAISE(ABORT, 'the history keeps its events as imported: only torvdoc changes them'); END;
CREATE TRIGGER events_kept_on_delete BEFORE DELETE ON events
BEGIN SELECT RAISE(ABORT, 'the history keeps its events as imported: only torvdoc changes them'); END;
CREATE TRIGGER journal_kept_on_update BEFORE UPDATE ON journal
BEGIN SELECT RAISE(ABORT, 'the history''s journal is only added to'); END;
CREATE TRIGGER journal_kept_on_delete BEFORE DELETE ON journal
BEGIN SELECT RAISE(ABORT, 'the history''s journal is only added to'); END;
)",
    };
    return kWords;
  }

  Status Tally(std::string_view key, std::string_view from, const std::vector<SqlValue>& parameters,
               const TallySink& sink) override {
    std::vector<std::uint8_t> counts;
    Status s = Query(std::string("SELECT ") + kSqliteTallyFunction + "(" + std::string(key) + ") " +
                         std::string(from),
                     parameters, [&](const SqlRow& row) { counts = row.Blob(0); });
    if (!s) return s;
    ReadSqliteTally(counts, sink);
    return {};
  }

  Result<std::string> CheckDatabase() override {
    std::vector<std::string> problems;
    // Its rows may hold several lines each, under headings "*** ... ***".
    const auto collect = [&](const SqlRow& row) {
      std::istringstream lines(row.Text(0));
      for (std::string line; std::getline(lines, line);) {
        if (line != "ok" && !line.starts_with("***")) problems.push_back(line);
      }
    };
    // A page too damaged to read ends the check itself.
    if (Status s = Query("PRAGMA integrity_check(100)", {}, collect); !s) {
      return Failure{"the SQLite file is damaged: " + s.failure().reason};
    }
    if (Status s = Query("PRAGMA foreign_key_check", {},
                         [&](const SqlRow& row) {
                           problems.push_back("a row of " + row.Text(0) +
                                              " names a missing row of " + row.Text(2));
                         });
        !s) {
      return s.failure();
    }
    if (!problems.empty()) {
      return Failure{"the SQLite file is damaged: " + problems.front() +
                     (problems.size() > 1
                          ? " (and " +
                                (problems.size() >= 100 ? std::string("at least 99")
                                                        : std::to_string(problems.size() - 1)) +
                                " more)"
                          : "")};
    }
    return std::string("SQLite file: integrity and foreign keys ok");
  }

  // SQLite's online backup into a file of its own beside the destination,
  // which then takes the destination's name only if nothing has it: never
  // half a copy, never over another file.
  Status BackupTo(const std::string& destination) override {
    const std::filesystem::path target(destination);
    const std::filesystem::path folder =
        target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    std::string partial = (folder / ".torvdoc-backup-XXXXXX").string();
    const int fd = ::mkstemp(partial.data());
    if (fd < 0) return Failure{std::string("cannot write in its folder: ") + std::strerror(errno)};
    // Readable by whoever may read the store.
    struct stat store {};
    if (const char* path = sqlite3_db_filename(db_, "main");
        path != nullptr && ::stat(path, &store) == 0) {
      (void)::fchmod(fd, store.st_mode & 0666);
    }
    ::close(fd);
    const Status copied = CopyInto(partial);
    if (copied && ::link(partial.c_str(), destination.c_str()) != 0) {
      const int error = errno;
      ::unlink(partial.c_str());
      return Failure{error == EEXIST ? std::string("exists already; a backup goes to a new file")
                                     : std::string("cannot be written: ") + std::strerror(error)};
    }
    ::unlink(partial.c_str());
    return copied;
  }

  // A deferred transaction reads one snapshot of the file from its first read.
  Status BeginRead() override { return ExecScript("BEGIN"); }
  // Takes the file's write lock at once: two importers never both read the
  // history and then both wait to write it.
  Status BeginWrite() override { return ExecScript("BEGIN IMMEDIATE"); }
  // BeginWrite's lock keeps every other writer out already.
  Status LockLayout() override { return {}; }

  // The write-ahead log lets readers go on while one process imports.
  // Switching needs a moment alone with the file; other processes opening it
  // at the same time may hold it briefly.
  Status ReadBesideWriter() override {
    Status status;
    for (int attempt = 0; attempt < 100; ++attempt) {
      status = ExecScript("PRAGMA journal_mode = WAL");
      if (status) return status;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return status;
  }

  Status Query(std::string_view sql, const std::vector<SqlValue>& parameters,
               const RowSink& sink) override {
    Result<const Prepared*> prepared = Prepare(sql);
    if (!prepared) return prepared.failure();
    sqlite3_stmt* statement = (*prepared)->statement;
    const std::vector<int>& indexes = (*prepared)->indexOfNumber;
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
    for (std::size_t i = 0; i < parameters.size(); ++i) {
      const int index = i < indexes.size() ? indexes[i] : 0;
      if (index == 0) continue;  // a parameter the text does not use
      const SqlValue& value = parameters[i];
      int rc = SQLITE_OK;
      if (std::holds_alternative<std::int64_t>(value)) {
        rc = sqlite3_bind_int64(statement, index, std::get<std::int64_t>(value));
      } else if (std::holds_alternative<std::string>(value)) {
        const std::string& text = std::get<std::string>(value);
        rc = sqlite3_bind_text(statement, index, text.data(), static_cast<int>(text.size()),
                               SQLITE_TRANSIENT);
      } else if (std::holds_alternative<SqlBlob>(value)) {
        const std::vector<std::uint8_t>& bytes = std::get<SqlBlob>(value).bytes;
        rc = sqlite3_bind_blob(statement, index, bytes.data(), static_cast<int>(bytes.size()),
                               SQLITE_TRANSIENT);
      } else {
        rc = sqlite3_bind_null(statement, index);
      }
      if (rc != SQLITE_OK) return Error();
    }
    const SqliteRow row(statement);
    ++running_;
    for (;;) {
      const int rc = sqlite3_step(statement);
      if (rc == SQLITE_DONE) break;
      if (rc != SQLITE_ROW) {
        Failure failure = Error();
        sqlite3_reset(statement);
        --running_;
        return failure;
      }
      if (sink) sink(row);
    }
    sqlite3_reset(statement);
    --running_;
    return {};
  }

  Status ExecScript(std::string_view sql) override {
    char* message = nullptr;
    const std::string text(sql);
    if (sqlite3_exec(db_, text.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
      Failure failure{message != nullptr ? message : sqlite3_errmsg(db_)};
      sqlite3_free(message);
      return failure;
    }
    return {};
  }

 private:
  // Copies the store into the empty SQLite file at `path`.
  Status CopyInto(const std::string& path) {
    sqlite3* target = nullptr;
    int rc = sqlite3_open_v2(path.c_str(), &target, SQLITE_OPEN_READWRITE, nullptr);
    if (rc == SQLITE_OK) {
      sqlite3_backup* backup = sqlite3_backup_init(target, "main", db_, "main");
      if (backup != nullptr) {
        // One step: the whole store as one snapshot.
        rc = sqlite3_backup_step(backup, -1);
        if (rc == SQLITE_DONE) rc = SQLITE_OK;
        sqlite3_backup_finish(backup);
      } else {
        rc = sqlite3_errcode(target);
      }
    }
    const std::string reason = target != nullptr ? sqlite3_errmsg(target) : sqlite3_errstr(rc);
    sqlite3_close_v2(target);
    if (rc != SQLITE_OK) return Failure{"the backup failed: " + reason};
    return {};
  }

  Failure Error() const { return Failure{sqlite3_errmsg(db_)}; }

  // A prepared statement and, for each parameter number k - 1, SQLite's
  // index of "$k" (0 when the text does not use it). Looking the names up
  // once here keeps a statement of many parameters from searching its
  // parameter list for every value of every run.
  struct Prepared {
    sqlite3_stmt* statement = nullptr;
    std::vector<int> indexOfNumber;
  };

  Result<const Prepared*> Prepare(std::string_view sql) {
    const std::string key(sql);
    const auto found = statements_.find(key);
    if (found != statements_.end()) return &found->second;
    // A statement still stepping (a sink that queries) must outlive this.
    if (statements_.size() >= kMaxPreparedStatements && running_ == 0) FinalizeAll();
    Prepared prepared;
    if (sqlite3_prepare_v3(db_, key.data(), static_cast<int>(key.size()), SQLITE_PREPARE_PERSISTENT,
                           &prepared.statement, nullptr) != SQLITE_OK) {
      return Error();
    }
    const int count = sqlite3_bind_parameter_count(prepared.statement);
    for (int index = 1; index <= count; ++index) {
      const char* name = sqlite3_bind_parameter_name(prepared.statement, index);
      if (name == nullptr || name[0] != '$') continue;
      const int number = std::atoi(name + 1);
      if (number < 1) continue;
      if (prepared.indexOfNumber.size() < static_cast<std::size_t>(number)) {
        prepared.indexOfNumber.resize(static_cast<std::size_t>(number), 0);
      }
      prepared.indexOfNumber[static_cast<std::size_t>(number) - 1] = index;
    }
    return &statements_.emplace(key, std::move(prepared)).first->second;
  }

  void FinalizeAll() {
    for (auto& [text, prepared] : statements_) sqlite3_finalize(prepared.statement);
    statements_.clear();
  }

  sqlite3* db_;
  std::unordered_map<std::string, Prepared> statements_;
  int running_ = 0;  // statements being stepped through now
};

}  // namespace

Result<std::unique_ptr<SqlConnection>> OpenSqlite(const std::string& path, OpenMode mode) {
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(path, error);
  if (std::filesystem::is_directory(status)) {
    return Failure{"is a folder, not a history store"};
  }
  const bool exists = std::filesystem::exists(status);
  if (!exists && mode == OpenMode::kRead) {
    return Failure{"no history store here yet; import a copy first"};
  }
  if (exists && !std::filesystem::is_regular_file(status)) {
    return Failure{"is not a regular file"};
  }
  if (!exists) {
    // A bare file name lives in the current folder: there is nothing to create.
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    std::error_code made;
    if (!folder.empty()) std::filesystem::create_directories(folder, made);
    if (made) return Failure{"cannot create its folder: " + made.message(), made.value()};
  }

  int flags = SQLITE_OPEN_FULLMUTEX;
  flags |= mode == OpenMode::kRead ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
  if (!exists) flags |= SQLITE_OPEN_CREATE;
  sqlite3* db = nullptr;
  const int rc = sqlite3_open_v2(path.c_str(), &db, flags, nullptr);
  std::unique_ptr<SqlConnection> connection;
  if (db != nullptr) connection = std::make_unique<SqliteConnection>(db);
  if (rc != SQLITE_OK) {
    return Failure{db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(rc)};
  }
  sqlite3_extended_result_codes(db, 1);
  // The store's triggers refuse changes made by other clients; this
  // program's own changes (a withdrawal, say) go through.
  sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
  sqlite3_busy_timeout(db, kBusyTimeoutMs);
  if (!RegisterSqliteTally(db)) return Failure{sqlite3_errmsg(db)};

  // SQLite falls back to reading a file it may not write.
  if (mode == OpenMode::kWrite && sqlite3_db_readonly(db, "main") == 1) {
    return Failure{"the history store is read-only"};
  }
  // Read before anything is written: a file that is not a database fails
  // here and stays as it was.
  if (Status read = connection->Exec("SELECT count(*) FROM sqlite_master"); !read) {
    // A store in WAL mode is read through its -shm file, which SQLite must
    // create when it is not there; a read-only folder forbids that.
    if (sqlite3_extended_errcode(db) == SQLITE_READONLY_DIRECTORY) {
      return Failure{
          "cannot be read in a read-only folder: SQLite needs to create its -shm "
          "and -wal files beside it"};
    }
    return Failure{"is not a history store: " + read.failure().reason};
  }
  if (Status keys = connection->Exec("PRAGMA foreign_keys = ON"); !keys) return keys.failure();
  // A multi-row INSERT keeps a statement journal; in memory it is no file
  // made and removed for every copy imported.
  if (Status temp = connection->Exec("PRAGMA temp_store = MEMORY"); !temp) return temp.failure();
  return connection;
}

}  // namespace torv::history
