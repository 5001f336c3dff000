#include "report/report_builder.h"

#include "archive/view_messages.h"
#include "archive/view_request.h"

namespace torv {
namespace {

constexpr std::string_view kCellSeparator = "\t\t";

void AppendHeading(const std::string& status, const EventRow& header, ReportLines& lines) {
  lines.push_back(status);
  lines.emplace_back(kReportGapLine);
  lines.push_back(FormatReportLine(header));
}

void AppendRows(const std::vector<ViewRow>& rows, ReportLines& lines) {
  for (const ViewRow& row : rows) lines.push_back(FormatReportLine(row.cells));
}

// Runs the view the flags of `state` ask for and moves `state` on.
const ViewOutcome& NextView(ViewState& state, const ArchiveSource& source,
                            WholeArchiveReport& report) {
  report.views.push_back(RequestView(state, PendingRequest(state), source));
  state = report.views.back().state;
  if (!report.views.back().Shown()) report.message = report.views.back().message;
  return report.views.back();
}

}  // namespace

std::string FormatReportLine(const EventRow& row) {
  std::string line = row[0];
  for (std::size_t column = 1; column < row.size(); ++column) {
    line += kCellSeparator;
    line += row[column];
  }
  return line;
}

ReportLines BuildTableReport(const ReportTable& table, const ViewState& state) {
  ReportLines lines;
  AppendHeading(table.StatusText(), table.TableRow(0), lines);
  for (int row = 1; row <= state.ShownRowCount; ++row) {
    lines.push_back(FormatReportLine(table.TableRow(row)));
  }
  return lines;
}

ReportLines BuildViewReport(const ViewOutcome& view) {
  ReportLines lines;
  lines.reserve(3 + view.rows.size());
  AppendHeading(view.status, EventTableHeader(), lines);
  AppendRows(view.rows, lines);
  return lines;
}

std::vector<ViewRow> WholeArchiveReport::ReportedRows() const {
  std::vector<ViewRow> rows;
  rows.reserve(kRecordCount);
  // The last view is the one after the 64th pass; it is not reported.
  for (std::size_t pass = 0; pass + 1 < views.size() && pass < kBlockCount; ++pass) {
    rows.insert(rows.end(), views[pass].rows.begin(), views[pass].rows.end());
  }
  return rows;
}

WholeArchiveReport BuildWholeArchiveReport(ViewState& state, const ArchiveSource& source) {
  WholeArchiveReport report;
  if (state.ArchiveFileName.empty()) {
    report.message = kNoFileNameMessage;
    return report;
  }
  report.views.reserve(kBlockCount + 1);
  state.BlocksBack = kNewestBlock;
  if (!NextView(state, source, report).Shown()) return report;

  ReportLines lines;
  lines.reserve(3 + kRecordCount);
  AppendHeading(report.views.front().status, EventTableHeader(), lines);
  for (int pass = 0; pass < kBlockCount; ++pass) {
    AppendRows(report.views.back().rows, lines);
    state.StepBackwardPending = 1;
    if (!NextView(state, source, report).Shown()) return report;
  }
  report.lines = std::move(lines);
  return report;
}

std::string JoinReportLines(const ReportLines& lines) {
  std::string text;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) text += '\n';
    text += lines[i];
  }
  return text;
}

}  // namespace torv
