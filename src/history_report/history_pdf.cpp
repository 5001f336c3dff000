#include "history_report/history_pdf.h"

#include "fileio/atomic_write.h"

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

Result<std::string> HistoryPdfDocument(history::HistoryStore& store,
                                       const history::EventQuery& query,
                                       const HistoryReportHeading& heading) {
  if (Status available = HistoryPdfAvailable(); !available) return available.failure();
  return (*PdfModule())->document(store, query, heading);
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
  Result<std::string> document = HistoryPdfDocument(store, query, heading);
  if (!document) return document.failure();
  Status written = WriteFileAtomically(path, *document);
  if (!written) {
    return Failure{path + ": " + written.failure().reason, written.failure().errorNumber};
  }
  return {};
}

}  // namespace torv
