#include "cli/output_formats.h"

#include "cli/cli_output.h"
#include "cli/history_option_rules.h"
#include "history_report/history_pdf.h"
#include "history_report/history_summaries.h"
#include "history_report/listing_formats.h"
#include "history_report/record_tables.h"
#include "history_report/statistics_formats.h"
#include "report/rtf_writer.h"

namespace torv {
namespace {

Result<std::string> ReportText(const ReportLines& lines, const ViewExport& /*exported*/,
                               const CliOptions& options) {
  return EncodeOutput(JoinReportLines(lines) + "\n", options.encoding);
}

Result<std::string> ReportCsv(const ReportLines& /*lines*/, const ViewExport& exported,
                              const CliOptions& options) {
  return ExportCsv(exported, options.csvDialect == CsvDialectName::kExcel
                                 ? SpreadsheetExportDialect()
                                 : Rfc4180Dialect(options.byteOrderMark));
}

Result<std::string> ReportJson(const ReportLines& /*lines*/, const ViewExport& exported,
                               const CliOptions& /*options*/) {
  return ExportJson(exported);
}

Result<std::string> ReportRtf(const ReportLines& lines, const ViewExport& /*exported*/,
                              const CliOptions& /*options*/) {
  return RtfDocument(JoinReportLines(lines));
}

// The main window saves its report through its own dialog, which offers RTF
// alone: no row here has a dialog filter.
constexpr ReportFormat kReportFormats[] = {
    {"text", "txt", "", ReportText},
    {"csv", "csv", "", ReportCsv},
    {"json", "json", "", ReportJson},
    {"rtf", "rtf", "", ReportRtf},
};

Result<std::string> InfoText(const std::vector<SummarizedArchive>& archives, bool /*list*/,
                             const CliOptions& options) {
  return EncodeOutput(ArchiveInfoText(archives), options.encoding);
}

Result<std::string> InfoJson(const std::vector<SummarizedArchive>& archives, bool list,
                             const CliOptions& /*options*/) {
  return ArchiveInfoJson(archives, list);
}

constexpr InfoFormat kInfoFormats[] = {
    {"text", "txt", "", InfoText},
    {"json", "json", "", InfoJson},
};

// The row options.format names; the parser took only names of the table.
template <typename Row>
const Row& Chosen(std::span<const Row> rows, const CliOptions& options) {
  const Row* row = FindFormat(rows, options.format);
  return row != nullptr ? *row : rows.front();
}

}  // namespace

std::span<const ReportFormat> ReportFormats() {
  return kReportFormats;
}

std::span<const InfoFormat> InfoFormats() {
  return kInfoFormats;
}

std::vector<std::string_view> FormatNamesFor(CliCommand command) {
  switch (command) {
    case CliCommand::kView:
    case CliCommand::kReport:
      return FormatNamesOf(ReportFormats());
    case CliCommand::kInfo:
      return FormatNamesOf(InfoFormats());
    case CliCommand::kHistoryDevices:
      return FormatNamesOf(SummaryFormats());
    case CliCommand::kHistoryStats:
      return FormatNamesOf(StatisticsFormats());
    case CliCommand::kHistoryChart:
      return {kChartImageFormats.begin(), kChartImageFormats.end()};
    case CliCommand::kHistoryCopies:
    case CliCommand::kHistoryJournal:
    case CliCommand::kHistoryGaps:
      return FormatNamesOf(TableFormats());
    case CliCommand::kHistoryList:
    case CliCommand::kHistoryReport: {
      std::vector<std::string_view> names;
      for (const ListingFormat& row : ListingFormats()) {
        if (!row.name.empty()) {
          names.push_back(row.name);
        }
      }
      return names;
    }
    default:
      break;
  }
  return {};
}

Result<std::string> FormatReportOutput(const ReportLines& lines, const ViewExport& exported,
                                       const CliOptions& options) {
  return Chosen(ReportFormats(), options).writer(lines, exported, options);
}

Result<std::string> FormatInfoOutput(const std::vector<SummarizedArchive>& archives, bool list,
                                     const CliOptions& options) {
  return Chosen(InfoFormats(), options).writer(archives, list, options);
}

}  // namespace torv
