#include "cli/report_output.h"

#include "cli/cli_output.h"
#include "report/rtf_writer.h"

namespace torv {

Result<std::string> FormatReportOutput(const ReportLines& lines, const ViewExport& exported,
                                       const CliOptions& options) {
  switch (options.format) {
    case OutputFormat::kCsv:
      return ExportCsv(exported, options.csvDialect == CsvDialectName::kExcel
                                     ? SpreadsheetExportDialect()
                                     : Rfc4180Dialect(options.byteOrderMark));
    case OutputFormat::kJson:
      return ExportJson(exported);
    case OutputFormat::kRtf:
      return RtfDocument(JoinReportLines(lines));
    case OutputFormat::kText:
    case OutputFormat::kPdf:  // a history listing's only
      break;
  }
  return EncodeOutput(JoinReportLines(lines) + "\n", options.encoding);
}

}  // namespace torv
