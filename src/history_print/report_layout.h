// The one layout of a printed history report, for the PDF file and the
// printer alike: the heading and the chart of events over time on the first
// page, a table whose column headers
// repeat on every page, gap rows across the table, the totals after it, and
// "стр. N из M" with the listing's short digest at the foot of every page. Sizes are in millimetres
// and fonts in points, so the report looks the same at any resolution.
#pragma once

// Qt
#include <QPageLayout>

#include "archive/result.h"
#include "history/history_store.h"
#include "history_print/printed_rows.h"
#include "history_print/report_page.h"
#include "history_report/chart_data.h"
#include "history_report/listed_event.h"
#include "history_report/report_heading.h"

class QIODevice;
class QPagedPaintDevice;
class QPrinter;

namespace torv {

// Portrait on the paper of the locale (A4; Letter where the locale measures
// in inches), with 15 mm margins.
QPageLayout DefaultReportPageLayout();

// Paints the whole report of the rows `query` lists on `device`, whose page
// layout is already set; starts with the device's current (first, empty)
// page. Fails, with pages drawn, when the rows are no longer those `frame`
// was read from.
Status PaintHistoryReport(QPagedPaintDevice& device, history::HistoryStore& store,
                          const history::EventQuery& query, const HistoryReportHeading& heading,
                          const PrintedFrame& frame);

// The report on a printer chosen in the print dialog (or a preview): its
// paper and orientation as chosen, 15 mm margins.
Status PrintHistoryReport(QPrinter& printer, history::HistoryStore& store,
                          const history::EventQuery& query, const HistoryReportHeading& heading);

// The report's PDF file on the default page layout, to `out` page by page.
Status WriteHistoryReportPdf(QIODevice& out, history::HistoryStore& store,
                             const history::EventQuery& query, const HistoryReportHeading& heading);

}  // namespace torv
