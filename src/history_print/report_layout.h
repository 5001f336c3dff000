// The one layout of a printed history report, for the PDF file and the
// printer alike: the heading and the chart of events over time on the first
// page, a table whose column headers
// repeat on every page, gap rows across the table, the totals after it, and
// "стр. N из M" with the listing's short digest at the foot of every page. Sizes are in millimetres
// and fonts in points, so the report looks the same at any resolution.
#pragma once

// Qt
#include <QPageLayout>
#include <QString>

// Std
#include <array>
#include <vector>

#include "archive/result.h"
#include "history/history_store.h"
#include "history_print/report_page.h"
#include "history_report/chart_data.h"
#include "history_report/listed_event.h"
#include "history_report/report_heading.h"

class QPagedPaintDevice;
class QPrinter;

namespace torv {

// A row of the printed table: the listing's seven cells, or a gap.
struct PrintedRow {
  bool gap = false;
  std::array<QString, 7> cells;
  RowMark mark = RowMark::kNone;
};

// What the report prints of a listing: its rows, what it covers (under the
// heading), its digest and journal entry (in full under the heading, short
// in every footer) and its totals after the last row.
struct PrintedListing {
  std::vector<PrintedRow> rows;
  // Events over time, drawn under the heading; no bars, no chart.
  ChartData chart;
  std::vector<std::string> opening;
  std::string stamp;
  std::string totals;
};

Result<PrintedListing> ReadPrintedListing(history::HistoryStore& store,
                                          const history::EventQuery& query);

// Portrait on the paper of the locale (A4; Letter where the locale measures
// in inches), with 15 mm margins.
QPageLayout DefaultReportPageLayout();

// Paints the whole report on `device`, whose page layout is already set;
// starts with the device's current (first, empty) page.
Status PaintHistoryReport(QPagedPaintDevice& device, const HistoryReportHeading& heading,
                          const PrintedListing& listing);

// The report on a printer chosen in the print dialog (or a preview): its
// paper and orientation as chosen, 15 mm margins.
Status PrintHistoryReport(QPrinter& printer, history::HistoryStore& store,
                          const history::EventQuery& query, const HistoryReportHeading& heading);

// The report as PDF bytes, on the default page layout.
Result<QByteArray> HistoryPdfBytes(history::HistoryStore& store, const history::EventQuery& query,
                                   const HistoryReportHeading& heading);

}  // namespace torv
