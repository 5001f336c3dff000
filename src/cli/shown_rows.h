// The rows a view showed, paired with the records behind them, for the CSV
// and JSON exports.
#pragma once

#include <vector>

#include "cli/cli_options.h"
#include "cli/memory_screen.h"
#include "report/view_export.h"

namespace torv {

// Data rows 1 to `shownRowCount` of the screen's table with the records the
// engine handed over for them.
std::vector<ExportedRow> ShownRows(const MemoryScreen& screen, int shownRowCount);

// The view that `view` was asked for, as the JSON export names it.
ViewDescription DescribeView(const CliOptions& options);

// The whole-archive report as the JSON export names it.
ViewDescription DescribeReport();

}  // namespace torv
