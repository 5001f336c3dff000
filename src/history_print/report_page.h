// What every printed history report has in common, whatever its body: the
// fonts, the heading on the first page (title, what the report shows and
// covers), the footer on every page, and the PDF writer's set-up.
#pragma once

// Qt
#include <QByteArray>
#include <QFont>
#include <QRectF>
#include <QString>
#include <QTextOption>

// Std
#include <functional>
#include <string>
#include <vector>

#include "archive/result.h"
#include "history_report/report_heading.h"

class QIODevice;
class QPagedPaintDevice;
class QPainter;

namespace torv {

inline constexpr double kReportMarginMm = 15.0;
inline constexpr double kTitlePoints = 14;
inline constexpr double kHeadingPoints = 10;
inline constexpr double kFooterPoints = 8;
inline constexpr double kHeadingGapMm = 4.0;
inline constexpr double kFooterGapMm = 3.0;

QFont ReportFont(double points, bool bold = false, bool italic = false);
// The font of digests and hashes: without ligatures, so that "ff" in one
// stays two letters when the PDF's text is copied into `history verify`.
QFont DigestFont(double points);

// The heading's height from the top of a page `width` wide, drawn when
// `paint` is set: the title, the heading's lines and `opening` (smaller).
double DrawReportHeading(QPainter& painter, double width, double pixelsPerMm,
                         const QTextOption& wrap, const HistoryReportHeading& heading,
                         const std::vector<std::string>& opening, bool paint);

// `left` and "стр. N из M" in the band at the foot of a page.
void DrawPageFooter(QPainter& painter, const QRectF& band, const std::string& left, int number,
                    int count);

// The PDF file of what `paint` draws on a writer of the default page layout,
// written to `out` as its pages are finished.
Status WriteReportPdf(QIODevice& out, const std::string& title,
                      const std::function<Status(QPagedPaintDevice&)>& paint);

// The same file's bytes, for a report small enough to hold.
Result<QByteArray> ReportPdfBytes(const std::string& title,
                                  const std::function<Status(QPagedPaintDevice&)>& paint);

}  // namespace torv
