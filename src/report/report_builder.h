// Reports of what the archive views show.
//
// Every report has this layout, in pane lines counted from 0:
//   0     the status line (Label1's caption)
//   1, 2  empty: the report adds one line holding a single line feed, which
//         the pane shows as two empty lines
//   3     the header line, FormatReportLine of table row 0
//   4...  FormatReportLine of table rows 1 to ShownRowCount
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "archive/archive_source.h"
#include "archive/event_table.h"
#include "archive/view_outcome.h"
#include "archive/view_state.h"

namespace torv {

using ReportLines = std::vector<std::string>;

// The line made of one line feed that stands for pane lines 1 and 2.
inline constexpr std::string_view kReportGapLine = "\n";

// What the table report reads from a screen: the status line and the table.
class ReportTable {
 public:
  virtual ~ReportTable() = default;
  virtual std::string StatusText() const = 0;
  // Row 0 is the header row; rows 1 to ShownRowCount are the data rows.
  virtual EventRow TableRow(int row) const = 0;
};

// The four cells joined by two TABs each, cells unchanged.
std::string FormatReportLine(const EventRow& row);

// The report of what a table shows now; requests no view. Before the first
// view its header line is six TABs.
ReportLines BuildTableReport(const ReportTable& table, const ViewState& state);

// The report of one view that was shown.
ReportLines BuildViewReport(const ViewOutcome& view);

struct WholeArchiveReport {
  // Set when the report stopped: without an archive name (then no view was
  // requested), or with the message of the first view that ended in one.
  std::optional<std::string> message;
  // Every view requested, in order: the first, then one step back after each
  // of the 64 passes, so the last one shows the newest block again, or ended
  // in `message`.
  std::vector<ViewOutcome> views;
  // The report, when it did not stop.
  ReportLines lines;

  // The rows of the 64 passes, as they reached the report.
  std::vector<ViewRow> ReportedRows() const;
};

// The report of the whole archive: the view the pending flags ask for (with
// BlocksBack set to 1: the newest block), then 63 steps back, so all 64
// blocks reach the report newest first; a 64th step leaves the view at the
// newest block again. Stops at the first view that ends in a message and at
// a missing archive name. `state` moves on with every view requested.
WholeArchiveReport BuildWholeArchiveReport(ViewState& state,
                                           const ArchiveSource& source = FileArchiveSource());

// The pane's text: lines joined by line feeds.
std::string JoinReportLines(const ReportLines& lines);

}  // namespace torv
