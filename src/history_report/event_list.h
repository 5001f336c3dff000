// The history listing (`history list`): events oldest first, device by
// device, as text, CSV or JSON, streamed in pieces so that a whole store
// never has to fit in memory.
//
// Every format opens with what the listing shows (QueryLines: device or
// devices, period, filters): text (and CSV when asked for) as lines of their own and an empty
// line, JSON as "filters".
// Text: a header line, then one line per event, TAB between the fields
// device, date, time, event, input, relay, name; a gap is a line of its own:
// the device and "нет записей с … по … (между копиями A и B)".
// CSV: the same columns and rows in the chosen dialect, and a column that
// marks the gap rows; the opening lines and the digest only when asked for.
// Newest first, a gap line follows the event after the gap instead of
// standing before it, so that it always lies between the two events it
// separates.
// JSON: {"filters": {...}, "coverage": {...}, "journal": {...}, "events":
// [...], "digest": "..."}: "filters" holds "device",
// "from" and "to" (YYYY-MM-DD), "input", "kinds" (kinds and types), "codes",
// "inputs", "relays", "text" (null or [] where not set), "newest_first" and
// "lines" (QueryLines); each event an object with "device", "year" (number
// or null), "bytes" (the record's 8 bytes), "gap_before", "date", "time",
// "event", "code" (byte 0), "kind" (EventTypeName), "input", "relay",
// "name" (null where none) and "copy" (the copy it was first stored from;
// null for events of older layouts); an event with a gap before it also "gap":
// {"after", "before", "older_copy", "newer_copy"} of the hole next to it.
#pragma once

#include <array>
#include <functional>
#include <string_view>

#include "archive/result.h"
#include "history/history_store.h"
#include "history_report/listed_event.h"
#include "history_report/listed_gaps.h"
#include "report/csv_writer.h"

namespace torv {

// The columns of the text and CSV listings, in order; the printed report
// has the same.
inline constexpr std::array<std::string_view, 7> kListColumns = {
    "Устройство", "Дата", "Время", "Событие", "Вход", "Реле", "Название"};

// The listing's CSV for a spreadsheet in a Russian locale: its date and time
// columns always quoted, so that they stay text.
CsvDialect ListSpreadsheetDialect();

// Receives the listing piece by piece, in order.
using TextSink = std::function<void(std::string_view)>;

// One row of a listing: an event, or the gap before the event `event`
// (which is listed next to it).
struct ListedRow {
  const history::StoredEvent& event;
  bool gap = false;
  const ListedFields& fields;  // empty for a gap row
  // The gap: on the gap row, and on the event row next to it.
  const ListedGap* gapBefore = nullptr;
};

// What a gap row says: its holes with their bounds, or where they cannot be
// told, that events between copies were not stored.
std::string_view GapRowText(const ListedRow& row);

// Every row of the listing in order, gap rows where the history has gaps
// (each with every hole between the two events it separates), names looked
// up: the one listing that every format and the printed report show.
// `gaps`: the query's holes when read already (with the listing's frame).
Status ForEachListedRow(history::HistoryStore& store, const history::EventQuery& query,
                        const std::function<void(const ListedRow&)>& sink,
                        const ListedGaps* gaps = nullptr);

// What a listing without events says when the history has holes in its
// dates, so that it never reads as "nothing happened": "за период записей
// нет: пропуск с DD.MM.YYYY HH:MM:SS по DD.MM.YYYY HH:MM:SS" (with "устройства
// NAME" when it lists every device; "; пропуск ..." for each further hole).
// Nothing when no hole reaches into its dates.
Result<std::optional<std::string>> NothingListedNote(history::HistoryStore& store,
                                                     const history::EventQuery& query);

// The listing in one format, piece by piece to `sink`; listing_formats.h
// holds the row of each. Text and CSV end with the note above, JSON carries
// it as "note".
Status WriteTextList(history::HistoryStore& store, const history::EventQuery& query,
                     const TextSink& sink);
// CSV: the column row, with a last column "Пропуск" that marks gap rows
// ("да") and the note of a listing without events; the heading lines and
// the digest only with `heading`.
Status WriteCsvList(history::HistoryStore& store, const history::EventQuery& query,
                    const CsvDialect& dialect, bool heading, const TextSink& sink);
Status WriteJsonList(history::HistoryStore& store, const history::EventQuery& query,
                     const TextSink& sink);

}  // namespace torv
