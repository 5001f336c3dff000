// The printed history report as a PDF file, for callers of any kind: the
// same layout the window prints. The writer needs Qt, so it lives in the
// installation's PDF module, loaded on the first call; without the module
// these fail with "this installation has no PDF reports (MODULE: REASON)".
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "archive/result.h"
#include "history/history_store.h"
#include "history_report/chart_data.h"
#include "history_report/event_list.h"
#include "history_report/report_heading.h"
#include "modules/module_loader.h"

namespace torv {

// The PDF module's table (its entry function is kHistoryPdfModuleEntry).
struct HistoryPdfModule {
  ModuleHeader header;
  // The PDF file of the report of every row `query` lists, to `sink` in
  // pieces as its pages are drawn: the rows are read from the store as they
  // are laid out and drawn, never held all at once. On failure `sink` may
  // have had part of a file. Needs no display: without a Qt GUI application
  // in the process, the module runs one on Qt's offscreen platform for the
  // time of the call.
  Status (*writeDocument)(history::HistoryStore& store, const history::EventQuery& query,
                          const HistoryReportHeading& heading, const TextSink& sink);
  // The PDF file's bytes of a report of text lines under `heading` (the
  // alarm statistics); leading spaces indent a line.
  Result<std::string> (*textDocument)(const HistoryReportHeading& heading,
                                      const std::vector<std::string>& lines);
  // The chart as a PNG or SVG file's bytes.
  Result<std::string> (*chartImage)(const ChartData& chart, std::string_view format, int width,
                                    int height);
};
inline constexpr std::string_view kHistoryPdfModuleFile = "torvdoc-pdf.so";
inline constexpr std::string_view kHistoryPdfModuleEntry = "torvdoc_pdf_module";

// Loads the module when it is not loaded yet; fails as WriteHistoryPdfTo
// would without it. Lets a caller say so before it reads anything.
Status HistoryPdfAvailable();

Status WriteHistoryPdfTo(history::HistoryStore& store, const history::EventQuery& query,
                         const HistoryReportHeading& heading, const TextSink& sink);

Result<std::string> HistoryTextPdfDocument(const HistoryReportHeading& heading,
                                           const std::vector<std::string>& lines);

// The chart as an image file's bytes: "png" or "svg", `width` x `height`
// pixels, drawn as the window draws it.
inline constexpr std::array<std::string_view, 2> kChartImageFormats = {"png", "svg"};
Result<std::string> HistoryChartImage(const ChartData& chart, std::string_view format, int width,
                                      int height);

// Writes the report of every row `query` lists to `path`, whole or not at
// all (an existing file is replaced only by a complete report, by the rules
// of WriteFileAtomically).
Status WriteHistoryPdf(history::HistoryStore& store, const history::EventQuery& query,
                       const HistoryReportHeading& heading, const std::string& path);

}  // namespace torv
