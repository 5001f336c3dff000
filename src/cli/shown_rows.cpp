#include "cli/shown_rows.h"

#include <algorithm>

namespace torv {

std::vector<ExportedRow> ShownRows(const MemoryScreen& screen, int shownRowCount) {
  const std::vector<ShownRecord>& records = screen.ShownRecords();
  const std::size_t count =
      std::min(static_cast<std::size_t>(std::max(shownRowCount, 0)), records.size());
  std::vector<ExportedRow> rows;
  rows.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    rows.push_back({records[i], screen.TableRow(static_cast<int>(i) + 1)});
  }
  return rows;
}

ViewDescription DescribeView(const CliOptions& options) {
  ViewDescription view;
  switch (options.viewKind) {
    case ViewKind::kBlock:
      view.kind = "block";
      view.block = options.blocksBack;
      break;
    case ViewKind::kDate:
      view.kind = "date";
      view.date = options.dateKey;
      break;
    case ViewKind::kInput:
      view.kind = "input";
      view.input = options.inputNumber;
      break;
  }
  view.steps = options.steps;
  return view;
}

ViewDescription DescribeReport() {
  ViewDescription view;
  view.kind = "report";
  return view;
}

}  // namespace torv
