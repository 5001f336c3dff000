// The store's tables and their versions.
//
//   schema_version(version)            one row: the layout's version
//   devices(id, name)                  a device as the operator names it
//   copies(id, device_id, copied_at, imported_at, source, records, new_events)
//                                      one row per imported copy
//   stretches(id, device_id, rank, first_pos, last_pos, order_time)
//                                      runs without a miss; rank 0 is the oldest
//   events(stretch_id, pos, device_id, moment, spare, date_key, kind, number)
//                                      one row per event; moment packs bytes
//                                      6, 5, 4, 3, 2, 0, 1 (stored_columns.h),
//                                      spare is byte 7, date_key is
//                                      year * 10000 + month * 100 + day
//   names(device_id, kind, number, name)
#pragma once

#include "archive/result.h"
#include "history/sql_connection.h"

namespace torv::history {

// Reads the layout's version and brings it up to date (kWrite only), one
// transaction for all steps, taken by one process at a time. A newer
// version, or tables of our names without a version, are refused untouched.
Status PrepareSchema(SqlConnection& db, OpenMode mode);

}  // namespace torv::history
