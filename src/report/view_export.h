// Machine-readable exports of what a view or a report shows: CSV for
// spreadsheets, JSON for other software.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "archive/view_outcome.h"

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
  std::string newestTimeDate;
  std::vector<ViewRow> rows;  // as the table showed them, with the records behind them
};

// RFC 4180: CRLF line ends, fields quoted where they hold a quote, comma or
// line break. Cells lose their surrounding spaces; the last column is the
// record's ring offset.
std::string ExportCsv(const ViewExport& view, bool withByteOrderMark);

// One JSON object; cells exactly as shown, decoded fields as numbers with
// null where the record leaves them unset.
std::string ExportJson(const ViewExport& view);

}  // namespace torv
