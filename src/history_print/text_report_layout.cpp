#include "history_print/text_report_layout.h"

// Qt
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextOption>

#include "history_print/report_page.h"

namespace torv {
namespace {

constexpr double kBodyPoints = 9;
// How far each leading space moves a line to the right.
constexpr double kIndentMmPerSpace = 1.6;

struct PlacedLine {
  QString text;
  double indent = 0;
  bool title = false;
  double height = 0;
};

}  // namespace

Status PaintTextReport(QPagedPaintDevice& device, const HistoryReportHeading& heading,
                       const std::vector<std::string>& lines) {
  QPainter painter;
  if (!painter.begin(&device)) return Failure{"the report's pages cannot be drawn"};
  const double pixelsPerMm = device.logicalDpiX() / 25.4;
  const QRect paintRect = device.pageLayout().paintRectPixels(device.logicalDpiX());
  const double width = paintRect.width();
  const double footerTop =
      paintRect.height() - QFontMetricsF(ReportFont(kFooterPoints), &device).lineSpacing();
  const double bodyBottom = footerTop - kFooterGapMm * pixelsPerMm;
  QTextOption wrap;
  wrap.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  const QFont body = ReportFont(kBodyPoints);
  const QFont bold = ReportFont(kBodyPoints, true);
  const double lineSpacing = QFontMetricsF(body, &device).lineSpacing();

  // First where every line goes, so that each footer knows the page count.
  std::vector<PlacedLine> placed;
  for (const std::string& line : lines) {
    PlacedLine p;
    const std::size_t spaces = line.find_first_not_of(' ');
    p.text = QString::fromStdString(spaces == std::string::npos ? "" : line.substr(spaces));
    p.indent = spaces == std::string::npos
                   ? 0
                   : static_cast<double>(spaces) * kIndentMmPerSpace * pixelsPerMm;
    p.title = spaces == 0;
    painter.setFont(p.title ? bold : body);
    p.height =
        p.text.isEmpty()
            ? lineSpacing
            : painter.boundingRect(QRectF(0, 0, width - p.indent, 1e9), p.text, wrap).height();
    placed.push_back(std::move(p));
  }
  const double bodyTop = DrawReportHeading(painter, width, pixelsPerMm, wrap, heading, {}, false);
  std::vector<std::size_t> pageStarts{0};
  double y = bodyTop;
  for (std::size_t i = 0; i < placed.size(); ++i) {
    if (y + placed[i].height > bodyBottom && i > pageStarts.back()) {
      pageStarts.push_back(i);
      y = 0;
    }
    y += placed[i].height;
  }
  const int pageCount = static_cast<int>(pageStarts.size());
  for (int p = 0; p < pageCount; ++p) {
    if (p > 0 && !device.newPage()) return Failure{"a new page cannot be started"};
    double top =
        p == 0 ? DrawReportHeading(painter, width, pixelsPerMm, wrap, heading, {}, true) : 0;
    const std::size_t end =
        p + 1 < pageCount ? pageStarts[static_cast<std::size_t>(p) + 1] : placed.size();
    painter.setPen(Qt::black);
    for (std::size_t i = pageStarts[static_cast<std::size_t>(p)]; i < end; ++i) {
      const PlacedLine& line = placed[i];
      painter.setFont(line.title ? bold : body);
      painter.drawText(QRectF(line.indent, top, width - line.indent, line.height), line.text, wrap);
      top += line.height;
    }
    DrawPageFooter(painter, QRectF(0, footerTop, width, 10 * pixelsPerMm), "", p + 1, pageCount);
  }
  if (!painter.end()) return Failure{"the report's pages cannot be finished"};
  return {};
}

Result<QByteArray> TextReportPdfBytes(const HistoryReportHeading& heading,
                                      const std::vector<std::string>& lines) {
  return ReportPdfBytes(heading.title, [&](QPagedPaintDevice& writer) {
    return PaintTextReport(writer, heading, lines);
  });
}

}  // namespace torv
