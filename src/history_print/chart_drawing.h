// The chart of events over time drawn with QPainter: stacked bars in fixed
// colours that colour-blind readers tell apart (the Okabe-Ito palette), the
// legend, a value axis with round ticks, dates under some bars, and the
// holes of the history hatched, so that no hole reads as a quiet span.
#pragma once

// Qt
#include <QColor>
#include <QRectF>
#include <QString>

#include "history_report/chart_data.h"

class QPainter;

namespace torv {

// The colour of a stack: the same on screen and on paper.
QColor ChartStackColour(ChartStack stack);
// The legend's name of a stack: "Авар. сигн.", "Пред. сигн.", ...
QString ChartStackName(ChartStack stack);

// The background, the lines and the hatch of the holes.
inline constexpr QRgb kChartBackground = 0xFFFFFFFF;
inline constexpr QRgb kChartHoleHatch = 0xFF505050;

// The bar's days as the dates under it read: DD.MM.YYYY for days and weeks,
// MM.YYYY for months.
QString ChartBarDateLabel(ChartBin bin, const ChartBar& bar);
// The bar's period and counts, as the tool tip over it says:
// "02.03.2026–08.03.2026: всего 42; Авар. сигн. 5; Норма 37"; stacks with
// no event are left out.
QString ChartBarText(const ChartBar& bar);

// What the legend says after the stacks of the events the chart cannot place
// (no year, so no day): "без даты: 12, не на графике"; empty when none.
QString ChartUndatedNote(const ChartData& chart);

// Draws `chart` into `rect` with the painter's font.
void DrawChart(QPainter& painter, const QRectF& rect, const ChartData& chart);

}  // namespace torv
