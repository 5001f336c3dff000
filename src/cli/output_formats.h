// The formats of what the archive commands write, one row each (view and
// report: text, csv, json, rtf; info: text, json), and the names --format
// takes for each command, read from the catalogue of what it writes.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/archive_info.h"
#include "cli/cli_options.h"
#include "report/format_catalogue.h"
#include "report/report_builder.h"
#include "report/view_export.h"

namespace torv {

// The bytes of a view or a report; fails only when the text cannot be
// converted to Windows-1251.
using ReportWriter = Result<std::string> (*)(const ReportLines& lines, const ViewExport& exported,
                                             const CliOptions& options);
using ReportFormat = FormatRow<ReportWriter>;
// text: the report lines in the chosen encoding, ending in a line feed; csv
// and json: the export of the shown rows; rtf: the report as the window
// saves it.
std::span<const ReportFormat> ReportFormats();

// `list`: several archives were asked for.
using InfoWriter = Result<std::string> (*)(const std::vector<SummarizedArchive>& archives,
                                           bool list, const CliOptions& options);
using InfoFormat = FormatRow<InfoWriter>;
std::span<const InfoFormat> InfoFormats();

// The names --format takes for `command`, in the order its texts list them;
// `history list` names pdf only where this build writes it.
std::vector<std::string_view> FormatNamesFor(CliCommand command);

// What `view` or `report` writes in the format options.format names.
Result<std::string> FormatReportOutput(const ReportLines& lines, const ViewExport& exported,
                                       const CliOptions& options);
Result<std::string> FormatInfoOutput(const std::vector<SummarizedArchive>& archives, bool list,
                                     const CliOptions& options);

}  // namespace torv
