#include "ui/printer_icon.h"

// Qt
#include <QPainter>
#include <QPixmap>

namespace torv {
namespace {

// A printer on a 16 by 16 grid: a sheet going in at the top, the body with a
// green lamp, and a printed sheet coming out at the bottom.
QPixmap DrawPrinter(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(size / 16.0, size / 16.0);
  const QPen outline(QColor(60, 60, 60), 1.0);
  painter.setPen(outline);

  painter.setBrush(Qt::white);
  painter.drawRect(QRectF(4.5, 1.5, 7, 5));  // the sheet going in
  painter.setBrush(QColor(176, 180, 186));
  painter.drawRoundedRect(QRectF(1.5, 5.5, 13, 6), 1.5, 1.5);  // the body
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(40, 170, 60));
  painter.drawEllipse(QRectF(11.5, 7, 1.8, 1.8));  // the lamp
  painter.setPen(outline);
  painter.setBrush(Qt::white);
  painter.drawRect(QRectF(4.5, 9.5, 7, 5.5));  // the printed sheet
  painter.setPen(QPen(QColor(120, 120, 120), 0.8, Qt::SolidLine, Qt::FlatCap));
  painter.drawLine(QPointF(6, 11.5), QPointF(10, 11.5));
  painter.drawLine(QPointF(6, 13.2), QPointF(10, 13.2));
  return pixmap;
}

}  // namespace

QIcon DrawnPrinterIcon() {
  QIcon icon;
  for (const int size : {16, 22, 32, 48}) icon.addPixmap(DrawPrinter(size));
  return icon;
}

QIcon PrinterIcon() {
  return QIcon::fromTheme(QStringLiteral("document-print"), DrawnPrinterIcon());
}

}  // namespace torv
