#include "history/store_schema.h"

#include <string>
#include <string_view>
#include <utility>

#include "history/event_selection.h"
#include "history/history_store.h"

namespace torv::history {
namespace {

// Version 1, written once for both databases: {key} is an integer primary
// key the database numbers itself, {int} a 64-bit integer, {events_end} what
// ends the events table's definition.
constexpr char kVersion1[] = R"(
CREATE TABLE schema_version (version {int} NOT NULL);
CREATE TABLE devices (id {key}, name TEXT NOT NULL UNIQUE);
CREATE TABLE copies (
  id {key},
  device_id {int} NOT NULL REFERENCES devices(id),
  copied_at {int} NOT NULL,
  imported_at {int} NOT NULL,
  source TEXT NOT NULL,
  records {int} NOT NULL,
  new_events {int} NOT NULL);
CREATE INDEX copies_by_device ON copies(device_id);
CREATE TABLE stretches (
  id {key},
  device_id {int} NOT NULL REFERENCES devices(id),
  rank {int} NOT NULL,
  first_pos {int} NOT NULL,
  last_pos {int} NOT NULL,
  order_time {int} NOT NULL);
CREATE INDEX stretches_by_device ON stretches(device_id, rank);
CREATE TABLE events (
  stretch_id {int} NOT NULL REFERENCES stretches(id),
  pos {int} NOT NULL,
  device_id {int} NOT NULL REFERENCES devices(id),
  copy_id {int} NOT NULL REFERENCES copies(id),
  ident {int} NOT NULL,
  spare {int} NOT NULL,
  year {int},
  date_key {int},
  kind {int} NOT NULL,
  number {int},
  PRIMARY KEY (stretch_id, pos)){events_end};
CREATE INDEX events_by_identity ON events(device_id, ident);
CREATE INDEX events_by_date ON events(stretch_id, date_key);
CREATE TABLE names (
  device_id {int} NOT NULL REFERENCES devices(id),
  kind TEXT NOT NULL CHECK (kind IN ('input', 'relay')),
  number {int} NOT NULL,
  name TEXT NOT NULL,
  PRIMARY KEY (device_id, kind, number));
)";

// Version 2: events keyed for time-ordered inserts and date-bounded reads.
// The identity index leads with the event's moment (month, day, hour, minute,
// second, then code and number: the column moment), so a copy's new events
// land on a few neighbouring pages instead of one page each. The copy and the
// year columns go: no query reads them (the year is date_key / 10000).
constexpr char kVersion2[] = R"(
DROP INDEX events_by_identity;
DROP INDEX events_by_date;
CREATE TABLE events_v2 (
  stretch_id {int} NOT NULL REFERENCES stretches(id),
  pos {int} NOT NULL,
  device_id {int} NOT NULL REFERENCES devices(id),
  moment {int} NOT NULL,
  spare {int} NOT NULL,
  date_key {int},
  kind {int} NOT NULL,
  number {int},
  PRIMARY KEY (stretch_id, pos)){events_end};
INSERT INTO events_v2 (stretch_id, pos, device_id, moment, spare, date_key, kind, number)
  SELECT stretch_id, pos, device_id,
         ((ident & 255) << 48) | (((ident >> 8) & 255) << 40) | (((ident >> 16) & 255) << 32)
           | (((ident >> 24) & 255) << 24) | (((ident >> 32) & 255) << 16)
           | (((ident >> 48) & 255) << 8) | ((ident >> 40) & 255),
         spare, date_key, kind, number
  FROM events ORDER BY stretch_id, pos;
DROP TABLE events;
ALTER TABLE events_v2 RENAME TO events;
CREATE INDEX events_by_moment ON events(device_id, moment);
CREATE INDEX events_by_date ON events(stretch_id, date_key);
)";

// Version 3: every copy is kept, byte for byte, with its SHA-256, who
// imported it with which version, and whether it was forced in or later
// withdrawn; copies of older layouts have no bytes (file_size null). Each
// event names the copy it was first stored from (null for older events). The
// journal records every change of the history. copied_day is the copy
// time's local date (YYYYMMDD), which the year rule started from.
constexpr char kVersion3[] = R"(
ALTER TABLE copies ADD COLUMN copied_day {int};
ALTER TABLE copies ADD COLUMN file_size {int};
ALTER TABLE copies ADD COLUMN sha256 TEXT;
ALTER TABLE copies ADD COLUMN bytes {blob};
ALTER TABLE copies ADD COLUMN imported_by TEXT NOT NULL DEFAULT '';
ALTER TABLE copies ADD COLUMN version TEXT NOT NULL DEFAULT '';
ALTER TABLE copies ADD COLUMN gap_before {int} NOT NULL DEFAULT 0;
ALTER TABLE copies ADD COLUMN forced {int} NOT NULL DEFAULT 0;
ALTER TABLE copies ADD COLUMN withdrawn_at {int};
CREATE INDEX copies_by_sha256 ON copies(sha256);
ALTER TABLE events ADD COLUMN copy_id {int};
CREATE TABLE journal (
  id {key},
  at {int} NOT NULL,
  kind TEXT NOT NULL,
  device TEXT NOT NULL,
  copy_id {int},
  who TEXT NOT NULL,
  version TEXT NOT NULL,
  reason TEXT NOT NULL,
  detail TEXT NOT NULL,
  copy_sha256 TEXT,
  events_digest TEXT NOT NULL,
  hash TEXT NOT NULL);
)";

std::string Spelled(std::string sql, const SqlWords& words) {
  const std::pair<std::string_view, std::string_view> spellings[] = {
      {"{key}", words.integerKey},
      {"{int}", words.integer},
      {"{blob}", words.blob},
      // The events are found by their key alone.
      {"{events_end}", words.keyedTableEnd},
  };
  for (const auto& [word, text] : spellings) {
    for (std::size_t at = sql.find(word); at != std::string::npos; at = sql.find(word, at)) {
      sql.replace(at, word.size(), text);
      at += text.size();
    }
  }
  return sql;
}

// Step k brings version k - 1 to version k.
std::string MigrationStep(const SqlWords& words, int version) {
  if (version == 1) return Spelled(kVersion1, words);
  if (version == 2) return Spelled(kVersion2, words);
  if (version == 3) return Spelled(kVersion3, words);
  // Version 4: events and journal are only added to, except by this program.
  if (version == 4) return std::string(words.keptTables);
  // Version 5: the planner knows how often each code occurs. It guessed one
  // in two hundred events for every code, so a listing of alarms read the
  // whole table, sorted, for each page of a few thousand rows.
  if (version == 5 && words.expressionStatistics) {
    return std::string("CREATE STATISTICS events_by_code ON (") + kCodeSql +
           ") FROM events;\nANALYZE events;";
  }
  return {};
}

constexpr const char* kOurTables[] = {"devices", "copies", "stretches",
                                      "events",  "names",  "journal"};

// Layouts are numbered 1, 2, ...: anything else was written by someone else.
Status CheckVersionNumber(std::int64_t version) {
  constexpr std::int64_t kLargestLikelyVersion = 1000;
  if (version >= 1 && version <= kLargestLikelyVersion) return {};
  return Failure{"its version table holds " + std::to_string(version) +
                 ", no layout version; it is not a history store"};
}

// 0 for a database without our tables.
Result<int> ReadVersion(SqlConnection& db) {
  Result<bool> hasVersion = db.HasTable("schema_version");
  if (!hasVersion) return hasVersion.failure();
  if (!*hasVersion) {
    for (const char* table : kOurTables) {
      Result<bool> exists = db.HasTable(table);
      if (!exists) return exists.failure();
      if (*exists) {
        return Failure{std::string("holds a table \"") + table +
                       "\" but no store version; it is not a history store"};
      }
    }
    return 0;
  }
  std::int64_t version = 0;
  if (Status s = db.Query("SELECT max(version) FROM schema_version", {},
                          [&](const SqlRow& row) { version = row.IsNull(0) ? 0 : row.Int(0); });
      !s) {
    return s.failure();
  }
  if (Status s = CheckVersionNumber(version); !s) return s.failure();
  return static_cast<int>(version);
}

// The version as one snapshot sees it: another process may be creating the
// tables at this moment, and two separate reads could see half of its work.
Result<int> ReadVersionAtOnce(SqlConnection& db) {
  return db.InReadTransaction([&db] { return ReadVersion(db); });
}

Failure NewerFailure(int version) {
  return Failure{"the history store has layout version " + std::to_string(version) +
                 ", newer than this program's " + std::to_string(kStoreVersion) +
                 "; use a newer torvdoc"};
}

}  // namespace

Status PrepareSchema(SqlConnection& db, OpenMode mode) {
  Result<int> version = ReadVersionAtOnce(db);
  if (!version) return version.failure();
  if (*version > kStoreVersion) return NewerFailure(*version);
  if (mode == OpenMode::kRead) {
    if (*version == 0) return Failure{"no history stored here yet; import a copy first"};
    // A layout older only by steps this database needs nothing for (layout
    // 5 on SQLite) is read as it is; an import brings its number up to date.
    for (int step = *version + 1; step <= kStoreVersion; ++step) {
      if (!MigrationStep(db.Words(), step).empty()) {
        return Failure{"the history store has an older layout; an import brings it up to date"};
      }
    }
    return {};
  }
  if (Status beside = db.ReadBesideWriter(); !beside) return beside;
  if (*version == kStoreVersion) return {};

  return db.InWriteTransaction([&db]() -> Status {
    if (Status locked = db.LockLayout(); !locked) return locked;
    // Another process may have brought the layout up to date meanwhile.
    Result<int> current = ReadVersion(db);
    if (!current) return current.failure();
    if (*current > kStoreVersion) return NewerFailure(*current);
    for (int step = *current + 1; step <= kStoreVersion; ++step) {
      const std::string script = MigrationStep(db.Words(), step);
      if (script.empty()) continue;
      if (Status s = db.ExecScript(script); !s) return s;
    }
    if (*current == kStoreVersion) return {};
    return *current == 0
               ? db.Exec("INSERT INTO schema_version (version) VALUES ($1)",
                         {std::int64_t{kStoreVersion}})
               : db.Exec("UPDATE schema_version SET version = $1", {std::int64_t{kStoreVersion}});
  });
}

}  // namespace torv::history
