#include "history/journal.h"

#include <pwd.h>
#include <unistd.h>

#include <climits>
#include <ctime>

#include "history/kept_copy.h"

namespace torv::history {

const std::string& OperatorIdentity() {
  static const std::string identity = [] {
    std::string user;
    if (const passwd* account = ::getpwuid(::geteuid()); account != nullptr) {
      user = account->pw_name;
    } else {
      user = std::to_string(::geteuid());
    }
    char host[HOST_NAME_MAX + 1] = {};
    if (::gethostname(host, sizeof host - 1) != 0) host[0] = '\0';
    return user + "@" + host;
  }();
  return identity;
}

namespace {

// What an entry's hash is taken over: each field with its length first, so
// that no two entries read alike.
std::string ChainText(const std::string& previous, const JournalEntry& entry,
                      const std::optional<std::string>& copySha256,
                      const std::string& eventsDigest) {
  std::string text;
  const auto field = [&](const std::string& value) {
    text += std::to_string(value.size()) + ":" + value + "\n";
  };
  field(previous);
  field(entry.kind);
  field(entry.device);
  field(entry.copy ? std::to_string(*entry.copy) : "");
  field(copySha256.value_or(""));
  field(std::to_string(entry.at));
  field(entry.who);
  field(entry.version);
  field(entry.reason);
  field(entry.detail);
  field(eventsDigest);
  return text;
}

// Every column of an entry, in the order EntryOfRow reads them.
constexpr char kEntryColumns[] =
    "SELECT id, at, kind, device, copy_id, who, version, reason, detail, hash, copy_sha256, "
    "events_digest FROM journal ORDER BY id";

JournalEntry EntryOfRow(const SqlRow& row) {
  JournalEntry entry;
  entry.id = row.Int(0);
  entry.at = row.Int(1);
  entry.kind = row.Text(2);
  entry.device = row.Text(3);
  if (!row.IsNull(4)) entry.copy = row.Int(4);
  entry.who = row.Text(5);
  entry.version = row.Text(6);
  entry.reason = row.Text(7);
  entry.detail = row.Text(8);
  entry.hash = row.Text(9);
  return entry;
}

std::string ChainHash(const std::string& text) {
  return Sha256Hex(std::vector<std::uint8_t>(text.begin(), text.end()));
}

}  // namespace

Status AppendJournal(SqlConnection& db, std::string_view kind, const std::string& device,
                     std::optional<std::int64_t> copy, const std::string& reason,
                     const std::string& detail, const std::optional<std::string>& copySha256,
                     const std::string& eventsDigest) {
  if (Status locked = db.LockLayout(); !locked) return locked;
  std::string previous;
  if (Status s = db.Query("SELECT hash FROM journal ORDER BY id DESC LIMIT 1", {},
                          [&](const SqlRow& row) { previous = row.Text(0); });
      !s) {
    return s;
  }
  JournalEntry entry;
  entry.at = static_cast<std::int64_t>(std::time(nullptr));
  entry.kind = kind;
  entry.device = device;
  entry.copy = copy;
  entry.who = OperatorIdentity();
  entry.version = TORVDOC_VERSION;
  entry.reason = reason;
  entry.detail = detail;
  const std::string hash = ChainHash(ChainText(previous, entry, copySha256, eventsDigest));
  return db.Exec(
      "INSERT INTO journal (at, kind, device, copy_id, who, version, reason, detail, "
      "copy_sha256, events_digest, hash) VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11)",
      {entry.at, entry.kind, device, copy ? SqlValue(*copy) : SqlValue(nullptr), entry.who,
       entry.version, reason, detail, copySha256 ? SqlValue(*copySha256) : SqlValue(nullptr),
       eventsDigest, hash});
}

Result<JournalCheck> CheckJournal(SqlConnection& db) {
  JournalCheck check;
  std::string previous;
  const Status read = db.Query(kEntryColumns, {}, [&](const SqlRow& row) {
    ++check.entries;
    if (check.problem) return;
    const JournalEntry entry = EntryOfRow(row);
    const std::optional<std::string> copySha =
        row.IsNull(10) ? std::nullopt : std::optional(row.Text(10));
    if (ChainHash(ChainText(previous, entry, copySha, row.Text(11))) != entry.hash) {
      check.problem = "journal entry " + std::to_string(entry.id) +
                      ": it does not follow from the entries before it (an entry was "
                      "changed, removed or inserted)";
    }
    previous = entry.hash;
  });
  if (!read) return read.failure();
  return check;
}

Result<std::optional<JournalEntry>> ReadJournalHead(SqlConnection& db) {
  std::optional<JournalEntry> head;
  const Status read = db.InReadTransaction([&] {
    return db.Query(std::string(kEntryColumns) + " DESC LIMIT 1", {},
                    [&](const SqlRow& row) { head = EntryOfRow(row); });
  });
  if (!read) return read.failure();
  return head;
}

Result<std::vector<JournalEntry>> ReadJournal(SqlConnection& db) {
  std::vector<JournalEntry> entries;
  const Status read = db.InReadTransaction([&] {
    return db.Query(kEntryColumns, {},
                    [&](const SqlRow& row) { entries.push_back(EntryOfRow(row)); });
  });
  if (!read) return read.failure();
  return entries;
}

}  // namespace torv::history
