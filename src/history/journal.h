// The store's journal: one row per change of the history, written inside
// the change's own transaction, so that an entry stands exactly when its
// change does.
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
// this program's version.
Status AppendJournal(SqlConnection& db, std::string_view kind, const std::string& device,
                     std::optional<std::int64_t> copy, const std::string& reason,
                     const std::string& detail);

Result<std::vector<JournalEntry>> ReadJournal(SqlConnection& db);

}  // namespace torv::history
