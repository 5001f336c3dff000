// Tab stops that line up the columns of a report line, wherever it is laid
// out: the report panes, the printout and the RTF file.
//
// A report line is cell 0, TAB, TAB, cell 1, TAB, TAB, cell 2, TAB, TAB,
// cell 3 (report_builder.h). Each column after the first gets two stops:
//   end stop     just past the widest cell the column before can hold
//   column stop  where the column's cells start
// A TAB moves to the first stop beyond the text before it. A cell starts at
// its column stop and ends before the next end stop, so the first TAB of a
// pair always reaches that end stop and the second the next column stop,
// however wide the cell, empty cells included.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "archive/event_table.h"

namespace torv {

// For each column, every distinct text its widest cells can take: the
// header label, every event text, every number cell with three digits (each
// digit 0 to 9 in every place, since a font's digits need not be equally
// wide), relay cells, blank cells.
using ReportColumnTexts = std::array<std::vector<std::string>, kEventColumnCount>;
ReportColumnTexts ReportColumnSamples();

// The width of a UTF-8 text in whatever unit the stops are wanted in.
using TextWidth = std::function<double(std::string_view text)>;

// Two stops for each column after the first, in increasing order: end stop
// and column stop of column 1, then of column 2, then of column 3. Between a
// column's widest cell and the end stop lies the width of one "0", between
// the end stop and the next column two more.
inline constexpr int kReportTabStopCount = 2 * (kEventColumnCount - 1);
using ReportTabStops = std::array<double, kReportTabStopCount>;
ReportTabStops ComputeReportTabStops(const TextWidth& width);

// Where column `column` (1 to 3) starts: its column stop.
inline double ColumnStart(const ReportTabStops& stops, int column) {
  return stops[static_cast<std::size_t>(2 * column - 1)];
}

}  // namespace torv
