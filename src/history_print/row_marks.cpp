#include "history_print/row_marks.h"

// Qt
#include <QPainter>
#include <QRectF>

namespace torv {

QColor RowMarkTint(RowMark mark) {
  switch (mark) {
    case RowMark::kAlarm:
      return QColor(0xF6, 0xD5, 0xC2);  // #D55E00, light
    case RowMark::kWarning:
      return QColor(0xFA, 0xEB, 0xC8);  // #E69F00, light
    case RowMark::kNone:
      break;
  }
  return {};
}

bool RowMarkBold(RowMark mark) {
  return mark == RowMark::kAlarm;
}

void DrawRowMarkBand(QPainter& painter, const QRectF& row, double width, RowMark mark) {
  if (mark == RowMark::kNone) return;
  const QRectF band(row.left(), row.top(), width, row.height());
  painter.save();
  if (mark == RowMark::kAlarm) {
    painter.fillRect(band, Qt::black);
  } else {
    // The outline inside the band, so that rows next to each other keep apart.
    const double pen = width / 4;
    painter.setPen(QPen(Qt::black, pen));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(band.adjusted(pen / 2, pen / 2, -pen / 2, -pen / 2));
  }
  painter.restore();
}

}  // namespace torv
