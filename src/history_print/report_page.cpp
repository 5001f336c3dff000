#include "history_print/report_page.h"

// Qt
#include <QBuffer>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include "history_print/report_layout.h"

namespace torv {

QFont ReportFont(double points, bool bold, bool italic) {
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPointSizeF(points);
  font.setBold(bold);
  font.setItalic(italic);
  return font;
}

QFont DigestFont(double points) {
  QFont font = ReportFont(points);
  font.setStyleStrategy(QFont::PreferNoShaping);
  return font;
}

double DrawReportHeading(QPainter& painter, double width, double pixelsPerMm,
                         const QTextOption& wrap, const HistoryReportHeading& heading,
                         const std::vector<std::string>& opening, bool paint) {
  double y = 0;
  const auto line = [&](const QString& text, const QFont& font) {
    painter.setFont(font);
    const QRectF bounds = painter.boundingRect(QRectF(0, y, width, 1e9), text, wrap);
    if (paint) painter.drawText(bounds, text, wrap);
    y += bounds.height();
  };
  line(QString::fromStdString(heading.title), ReportFont(kTitlePoints, true));
  y += 1.5 * pixelsPerMm;
  for (const std::string& text : heading.lines) {
    line(QString::fromStdString(text), ReportFont(kHeadingPoints));
  }
  for (const std::string& text : opening) {
    line(QString::fromStdString(text), DigestFont(kFooterPoints));
  }
  return y + kHeadingGapMm * pixelsPerMm;
}

void DrawPageFooter(QPainter& painter, const QRectF& band, const std::string& left, int number,
                    int count) {
  painter.setPen(Qt::black);
  painter.setFont(DigestFont(kFooterPoints));
  painter.drawText(band, Qt::AlignLeft | Qt::AlignTop, QString::fromStdString(left));
  painter.drawText(band, Qt::AlignRight | Qt::AlignTop,
                   QStringLiteral("стр. %1 из %2").arg(number).arg(count));
}

Status WriteReportPdf(QIODevice& out, const std::string& title,
                      const std::function<Status(QPagedPaintDevice&)>& paint) {
  QPdfWriter writer(&out);
  writer.setResolution(600);
  writer.setPageLayout(DefaultReportPageLayout());
  writer.setTitle(QString::fromStdString(title));
  writer.setCreator(QStringLiteral("torvdoc"));
  return paint(writer);
}

Result<QByteArray> ReportPdfBytes(const std::string& title,
                                  const std::function<Status(QPagedPaintDevice&)>& paint) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (Status s = WriteReportPdf(buffer, title, paint); !s) return s.failure();
  return bytes;
}

}  // namespace torv
