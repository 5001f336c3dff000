// The store's journal: one row per change of the history, written inside
// the change's own transaction, so that an entry stands exactly when its
// change does. The entries form a chain: each one's hash is the SHA-256 of
// the previous entry's hash and of everything the entry says, so that a
// changed, removed or inserted entry breaks every hash after it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "archive/result.h"
#include "history/history_model.h"
#include "history/sql_connection.h"

namespace torv::history {

// Who runs this program: "user@host", from the account and the host name.
const std::string& OperatorIdentity();

// Appends an entry of `kind` for `device` now, by OperatorIdentity(), with
// this program's version, the copy's SHA-256 and the digest of the events
// the change added or left (event_snapshot.h), chained to the entry before.
// Appends wait for each other (the layout lock) so that the chain never
// forks; take every device lock before the first append.
Status AppendJournal(SqlConnection& db, std::string_view kind, const std::string& device,
                     std::optional<std::int64_t> copy, const std::string& reason,
                     const std::string& detail,
                     const std::optional<std::string>& copySha256 = std::nullopt,
                     const std::string& eventsDigest = "");

// How many entries the chain holds, and the first one that does not follow
// from those before it.
struct JournalCheck {
  std::int64_t entries = 0;
  std::optional<std::string> problem;
};
Result<JournalCheck> CheckJournal(SqlConnection& db);

Result<std::vector<JournalEntry>> ReadJournal(SqlConnection& db);
// The newest entry; none in an empty journal.
Result<std::optional<JournalEntry>> ReadJournalHead(SqlConnection& db);

}  // namespace torv::history
