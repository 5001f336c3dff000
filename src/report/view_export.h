// Machine-readable exports of what a view or a report shows: CSV for
// spreadsheets, JSON for other software.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "archive/view_outcome.h"
#include "report/csv_writer.h"

namespace torv {

struct ViewDescription {
  std::string kind;  // "block", "date", "input" or "report"
  std::optional<int> block;
  std::optional<std::string> date;
  std::optional<int> input;
  std::string steps;  // "b" and "f" applied after the first view
};

struct ViewExport {
  std::string status;  // the status line
  ViewDescription view;
  std::int32_t writeOffset = 0;
  std::string newestTimeDate;  // the newest record's ShownTimeDate
  std::vector<ViewRow> rows;   // as the table showed them, with the records behind them
};

// One CSV record per row: the four cells without their surrounding spaces,
// the record's ring offset, its event code (empty for an empty slot) and its
// kind (EventKindName: input, device, relay, damaged, other, empty), so that
// an event without text is told apart from a slot never written.
std::string ExportCsv(const ViewExport& view, const CsvDialect& dialect);

// The spreadsheet dialect with this export's time and date columns.
CsvDialect SpreadsheetExportDialect();

// One JSON object; cells exactly as shown, decoded fields as numbers with
// null where the record leaves them unset.
std::string ExportJson(const ViewExport& view);

}  // namespace torv
