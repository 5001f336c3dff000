// The printed history report as a PDF file, for callers without Qt (the
// command line): the same layout the window prints and exports.
#pragma once

#include <string>

#include "archive/result.h"
#include "history/history_store.h"
#include "history_report/report_heading.h"

namespace torv {

// The PDF file's bytes of the report of every row `query` lists. Needs no
// display: without a Qt GUI application in the process, it runs one on Qt's
// offscreen platform for the time of the call.
Result<std::string> HistoryPdfDocument(history::HistoryStore& store,
                                       const history::EventQuery& query,
                                       const HistoryReportHeading& heading);

// Writes the report of every row `query` lists to `path`, whole or not at
// all (an existing file is replaced only by a complete report, by the rules
// of WriteFileAtomically).
Status WriteHistoryPdf(history::HistoryStore& store, const history::EventQuery& query,
                       const HistoryReportHeading& heading, const std::string& path);

}  // namespace torv
