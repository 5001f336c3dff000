#include "history/journal.h"

#include <pwd.h>
#include <unistd.h>

#include <climits>
#include <ctime>

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

Status AppendJournal(SqlConnection& db, std::string_view kind, const std::string& device,
                     std::optional<std::int64_t> copy, const std::string& reason,
                     const std::string& detail) {
  return db.Exec(
      "INSERT INTO journal (at, kind, device, copy_id, who, version, reason, detail) "
      "VALUES ($1, $2, $3, $4, $5, $6, $7, $8)",
      {static_cast<std::int64_t>(std::time(nullptr)), std::string(kind), device,
       copy ? SqlValue(*copy) : SqlValue(nullptr), OperatorIdentity(), std::string(TORVDOC_VERSION),
       reason, detail});
}

Result<std::vector<JournalEntry>> ReadJournal(SqlConnection& db) {
  std::vector<JournalEntry> entries;
  const Status read = db.InReadTransaction([&] {
    return db.Query(
        "SELECT id, at, kind, device, copy_id, who, version, reason, detail FROM journal "
        "ORDER BY id",
        {}, [&](const SqlRow& row) {
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
          entries.push_back(std::move(entry));
        });
  });
  if (!read) return read.failure();
  return entries;
}

}  // namespace torv::history
