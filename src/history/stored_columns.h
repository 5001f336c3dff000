// How an event's record becomes the columns the queries filter on.
#pragma once

#include <cstdint>
#include <optional>

#include "archive/archive_format.h"
#include "archive/record_kind.h"
#include "history/history_model.h"
#include "history/sql_connection.h"

namespace torv::history {

// The kind column's values; fixed here because stored rows keep them.
std::int64_t KindCode(EventKind kind);

struct StoredColumns {
  Identity identity = 0;
  SqlValue year;     // null without a year
  SqlValue dateKey;  // year * 10000 + month * 100 + day; null without a year
  std::int64_t kind = 0;
  SqlValue number;  // the input's or relay's number; null for other kinds
};
StoredColumns ColumnsOf(const ArchiveRecord& record, const std::optional<int>& year);

}  // namespace torv::history
