// How a marked row stands out, the same in the window and on paper: a tint
// told apart without colour vision (alarms a light vermillion, warnings a
// light orange, both of the Okabe-Ito hues the chart uses), and for paper
// printed in black and white a band at the row's left: solid for an alarm,
// an outline for a warning. On screen alarms are also bold.
#pragma once

// Qt
#include <QColor>

#include "history_report/listed_event.h"

class QPainter;
class QRectF;

namespace torv {

// The row's tint; invalid for an unmarked row.
QColor RowMarkTint(RowMark mark);
bool RowMarkBold(RowMark mark);
// The band at the left of a printed row, `width` wide.
void DrawRowMarkBand(QPainter& painter, const QRectF& row, double width, RowMark mark);

}  // namespace torv
