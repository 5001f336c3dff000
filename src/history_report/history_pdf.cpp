#include "history_report/history_pdf.h"

#include "fileio/file_of_pieces.h"

namespace torv {

namespace {

const Result<const HistoryPdfModule*>& PdfModule() {
  static const Result<const HistoryPdfModule*> module = LoadModule<HistoryPdfModule>(
      kHistoryPdfModuleFile, kHistoryPdfModuleEntry, ModuleDirectories());
  return module;
}

}  // namespace

Status HistoryPdfAvailable() {
  if (const auto& module = PdfModule(); !module) {
    return Failure{"this installation has no PDF reports (" + module.failure().reason + ")"};
  }
  return {};
}

Status WriteHistoryPdfTo(history::HistoryStore& store, const history::EventQuery& query,
                         const HistoryReportHeading& heading, const TextSink& sink) {
  if (Status available = HistoryPdfAvailable(); !available) return available;
  return (*PdfModule())->writeDocument(store, query, heading, sink);
}

Result<std::string> HistoryTextPdfDocument(const HistoryReportHeading& heading,
                                           const std::vector<std::string>& lines) {
  if (Status available = HistoryPdfAvailable(); !available) return available.failure();
  return (*PdfModule())->textDocument(heading, lines);
}

Result<std::string> HistoryChartImage(const ChartData& chart, std::string_view format, int width,
                                      int height) {
  if (Status available = HistoryPdfAvailable(); !available) return available.failure();
  return (*PdfModule())->chartImage(chart, format, width, height);
}

Status WriteHistoryPdf(history::HistoryStore& store, const history::EventQuery& query,
                       const HistoryReportHeading& heading, const std::string& path) {
  // Written as its pages are drawn; the file takes the name `path` only when
  // the report is complete.
  FileOfPieces file(path);
  Status drawn =
      WriteHistoryPdfTo(store, query, heading, [&](std::string_view piece) { file.Write(piece); });
  if (!drawn) return drawn;
  Status written = file.Commit();
  if (!written) {
    return Failure{path + ": " + written.failure().reason, written.failure().errorNumber};
  }
  return {};
}

}  // namespace torv
