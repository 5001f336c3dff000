// The store's own records as listings: the kept copies (`history copies`)
// and the journal (`history journal`), each a table written as text (a
// heading line, then TAB-separated rows), CSV (RFC 4180) or JSON ({KEY:
// [{column: value, ...}]}).
//
// Copies: id, device, file, size, sha256, copied_at, imported_at,
// imported_by, version, records, new, gap_before, forced, withdrawn.
// Journal: id, at, kind, device, copy, who, version, reason, detail, hash
// (of the chain: the last entry's hash stands for the whole journal).
// Gaps: device, after (the last event before the gap), before (the first
// after it), older_copy and newer_copy (the copies those events came from),
// text ("нет записей с DD.MM.YYYY HH:MM:SS по DD.MM.YYYY HH:MM:SS (между
// копиями OLDER и NEWER)"); event moments "YYYY-MM-DDTHH:MM:SS" of the
// device's clock.
// Moments are local time, "YYYY-MM-DD HH:MM:SS"; what is not known is null
// in JSON and empty in text and CSV.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "history/event_counts.h"
#include "history/history_model.h"
#include "report/format_catalogue.h"

namespace torv {

using TableCell = std::variant<std::nullptr_t, std::int64_t, bool, std::string>;

struct TableColumn {
  std::string_view heading;  // of text and CSV
  std::string_view key;      // of JSON
};

struct RecordTable {
  std::string_view listKey;  // the JSON object's one key: "copies"
  std::span<const TableColumn> columns;
  std::vector<std::vector<TableCell>> rows;
};

// A cell as the text and CSV tables write it: "да" or "нет" for a flag,
// nothing for what is not known.
std::string CellText(const TableCell& cell);

RecordTable CopiesTable(const std::vector<history::KeptCopy>& copies);
RecordTable JournalTable(const std::vector<history::JournalEntry>& entries);
RecordTable GapsTable(const std::vector<history::HistoryHole>& holes,
                      const std::vector<history::KeptCopy>& copies);

// A copy as a listing names it: its file's name, or its number where it
// came without one.
std::string CopyName(const history::KeptCopy& copy);
// Where an event came from: "копия N: FILE, снята DD.MM.YYYY HH:MM".
std::string CopySourceText(const history::KeptCopy& copy);

// What a gap row says, with the files of the copies on either side when
// they are known.
std::string GapText(const history::HistoryHole& hole, const history::KeptCopy* older,
                    const history::KeptCopy* newer);

// "YYYY-MM-DDTHH:MM:SS" of a dated event; "YYYY-MM-DD" when the device set
// no time.
std::string IsoMoment(const history::StoredEvent& event);
// The copy the event was first stored from, when it is among `copies`.
const history::KeptCopy* CopyNamed(const std::vector<history::KeptCopy>& copies,
                                   const std::optional<history::StoredEvent>& event);

using TableWriter = std::string (*)(const RecordTable& table);
using TableFormat = FormatRow<TableWriter>;
// text, csv and json.
std::span<const TableFormat> TableFormats();
const TableFormat* FindTableFormat(std::string_view name);

}  // namespace torv
