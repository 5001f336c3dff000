// The history listing (`history list`): events oldest first, device by
// device, as text, CSV or JSON, streamed in pieces so that a whole store
// never has to fit in memory.
//
// Text: a header line, then one line per event, TAB between the fields
// device, date, time, event, input, relay, name; a gap is a line of its own.
// CSV: the same columns and rows in the chosen dialect.
// JSON: {"events": [...]}, each event an object with "device", "year"
// (number or null), "bytes" (the record's 8 bytes), "gap_before", "date",
// "time", "event", "input", "relay" and "name" (null where none).
#pragma once

#include <functional>
#include <string_view>

#include "archive/result.h"
#include "history/history_store.h"
#include "report/csv_writer.h"

namespace torv {

enum class ListFormat { kText, kCsv, kJson };

// Receives the listing piece by piece, in order.
using TextSink = std::function<void(std::string_view)>;

// The CSV dialect is used for kCsv only.
Status WriteEventList(history::HistoryStore& store, const history::EventQuery& query,
                      ListFormat format, const TextSink& sink,
                      const CsvDialect& csvDialect = Rfc4180Dialect());

}  // namespace torv
