// How an event's record becomes the columns the queries filter on.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "archive/archive_format.h"
#include "archive/record_kind.h"
#include "history/history_model.h"
#include "history/sql_connection.h"

namespace torv::history {

// The kind column's values; fixed here because stored rows keep them.
std::int64_t KindCode(EventKind kind);

// The identity's bytes in time order: month, day, hour, minute, second, then
// code and number, each byte of the record once. The events' identity index
// is on this order, so new events, which are the device's latest, are
// inserted next to each other.
std::int64_t MomentOf(Identity identity);
Identity IdentityOfMoment(std::int64_t moment);

struct StoredColumns {
  std::int64_t moment = 0;
  SqlValue dateKey;  // year * 10000 + month * 100 + day; null without a year
  std::int64_t kind = 0;
  SqlValue number;  // the input's or relay's number; null for other kinds
};
StoredColumns ColumnsOf(const ArchiveRecord& record, const std::optional<int>& year);

// The columns of an event row, in the order AppendEventRow gives them.
const std::vector<std::string_view>& EventColumns();
// One event row's values, for SqlConnection::InsertRows.
void AppendEventRow(std::vector<SqlValue>& values, std::int64_t stretchId, std::int64_t position,
                    std::int64_t deviceId, const ArchiveRecord& record,
                    const std::optional<int>& year, std::int64_t copyId);

}  // namespace torv::history
