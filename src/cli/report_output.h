// The bytes that `view` and `report` write, in the format asked for.
#pragma once

#include <string>

#include "cli/cli_options.h"
#include "report/report_builder.h"
#include "report/view_export.h"

namespace torv {

// text: the report lines in the chosen encoding, ending in a line feed;
// csv and json: the export of the shown rows; rtf: the report as the window
// saves it. Fails only when the text cannot be converted to Windows-1251.
Result<std::string> FormatReportOutput(const ReportLines& lines, const ViewExport& exported,
                                       const CliOptions& options);

}  // namespace torv
