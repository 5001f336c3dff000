// Reports built from what the event table shows.
//
// Every report has this layout, in pane lines counted from 0:
//   0     the status line (Label1's caption)
//   1, 2  empty: the report adds one line holding a single line feed, which
//         the pane shows as two empty lines
//   3     the header line, FormatReportLine of table row 0
//   4...  FormatReportLine of table rows 1 to ShownRowCount
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "archive/event_table.h"
#include "archive/view_engine.h"
#include "archive/view_screen.h"
#include "archive/view_state.h"

namespace torv {

using ReportLines = std::vector<std::string>;

// The line made of one line feed that stands for pane lines 1 and 2.
inline constexpr std::string_view kReportGapLine = "\n";

// What the reports read from the screen: the status line and the table.
class ReportTable {
 public:
  virtual ~ReportTable() = default;
  virtual std::string StatusText() const = 0;
  // Row 0 is the header row; rows 1 to ShownRowCount are the data rows.
  virtual EventRow TableRow(int row) const = 0;
};

// The four cells joined by two TABs each, cells unchanged.
std::string FormatReportLine(const EventRow& row);

// The report of what the table shows now; requests no view.
ReportLines BuildTableReport(const ReportTable& table, const ViewState& state);

// The report of the whole archive: the newest block, then 63 steps back, so
// all 64 blocks reach the report newest first; a 64th step leaves the table
// at the newest block again. Stops at the first view request that ends in a
// message (the message is shown once, by the engine) and at a missing archive
// name; then returns nothing and the caller keeps its pane as it was.
// `afterRowsAppended` runs after each of the 64 passes has appended its rows,
// while the table still shows them, for callers that collect the records too.
std::optional<ReportLines> BuildWholeArchiveReport(
    ViewState& state, ViewScreen& screen, const ReportTable& table,
    const ArchiveSource& source = FileArchiveSource(),
    const std::function<void()>& afterRowsAppended = {});

// The pane's text: lines joined by line feeds.
std::string JoinReportLines(const ReportLines& lines);

}  // namespace torv
