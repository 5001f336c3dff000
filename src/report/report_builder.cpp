#include "report/report_builder.h"

#include "archive/view_engine.h"
#include "archive/view_messages.h"
#include "archive/view_request.h"

namespace torv {
namespace {

constexpr std::string_view kCellSeparator = "\t\t";

void AppendHeading(const ReportTable& table, ReportLines& lines) {
  lines.push_back(table.StatusText());
  lines.emplace_back(kReportGapLine);
  lines.push_back(FormatReportLine(table.TableRow(0)));
}

void AppendRows(const ReportTable& table, int shownRowCount, ReportLines& lines) {
  for (int row = 1; row <= shownRowCount; ++row) {
    lines.push_back(FormatReportLine(table.TableRow(row)));
  }
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
  AppendHeading(table, lines);
  AppendRows(table, state.ShownRowCount, lines);
  return lines;
}

std::optional<ReportLines> BuildWholeArchiveReport(ViewState& state, ViewScreen& screen,
                                                   const ReportTable& table,
                                                   const ArchiveSource& source,
                                                   const std::function<void()>& afterRowsAppended) {
  if (state.ArchiveFileName.empty()) {
    screen.ShowMessage(std::string(kNoFileNameMessage));
    return std::nullopt;
  }
  state.BlocksBack = kNewestBlock;
  if (Button1Click(state, screen, source) != ViewResult::kShown) return std::nullopt;

  ReportLines lines;
  lines.reserve(3 + kRecordCount);
  AppendHeading(table, lines);
  for (int pass = 0; pass < kBlockCount; ++pass) {
    AppendRows(table, state.ShownRowCount, lines);
    if (afterRowsAppended) afterRowsAppended();
    state.StepBackwardPending = 1;
    if (Button1Click(state, screen, source) != ViewResult::kShown) return std::nullopt;
  }
  return lines;
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
