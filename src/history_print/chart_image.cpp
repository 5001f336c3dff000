#include "history_print/chart_image.h"

// Qt
#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>

#include "history_print/chart_drawing.h"
#include "history_print/report_page.h"

namespace torv {
namespace {

constexpr double kImagePoints = 9;

void Paint(QPaintDevice& device, const ChartData& chart, QSize size) {
  QPainter painter(&device);
  painter.fillRect(QRect(QPoint(0, 0), size), QColor::fromRgb(kChartBackground));
  painter.setFont(ReportFont(kImagePoints));
  DrawChart(painter, QRectF(0, 0, size.width(), size.height()), chart);
}

}  // namespace

Result<QByteArray> ChartImageBytes(const ChartData& chart, const QString& format, QSize size) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (format == QStringLiteral("svg")) {
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setTitle(QStringLiteral("События ТОРВ-4 по времени"));
    Paint(svg, chart, size);
    return bytes;
  }
  if (format != QStringLiteral("png"))
    return Failure{"no image format \"" + format.toStdString() + "\""};
  QImage image(size, QImage::Format_RGB32);
  Paint(image, chart, size);
  if (!image.save(&buffer, "PNG")) return Failure{"the PNG image cannot be written"};
  return bytes;
}

}  // namespace torv
