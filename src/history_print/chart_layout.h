// Where the parts of the chart of events over time lie in its rectangle: the
// legend on top, the value axis on the left, the bars, the date labels under
// them. The drawing and the pointer (which bar is under it) share it, so what
// is hovered or clicked is what is drawn there.
#pragma once

// Qt
#include <QRectF>

// Std
#include <cstdint>
#include <optional>
#include <vector>

#include "history_report/chart_data.h"

namespace torv {

inline constexpr double kChartLegendHeight = 18.0;
inline constexpr double kChartAxisWidth = 48.0;
inline constexpr double kChartDatesHeight = 18.0;
inline constexpr double kChartRightMargin = 8.0;

// The area of the bars inside `rect`.
QRectF ChartPlotRect(const QRectF& rect);

// The horizontal span of bar `index`'s whole slot in `plot`.
QRectF ChartSlotRect(const QRectF& plot, const ChartData& chart, std::size_t index);

// The left edge of `day` in `plot` (a day inside a bar takes its share of the
// bar's slot); days past the last bar fall at the right edge.
double ChartDayX(const QRectF& plot, const ChartData& chart, std::int64_t day);

// The value axis: round ticks from 0 to its top, which the tallest bar does
// not pass; steps of 1, 2 or 5 times a power of ten, at most 5 of them.
struct ChartAxis {
  std::int64_t top = 1;
  std::vector<std::int64_t> ticks;
};
ChartAxis ChartAxisFor(const ChartData& chart);

// The bar whose slot holds `point` (anywhere in its column, from the legend
// down to the dates) in a chart drawn in `rect`; none outside the bars.
std::optional<std::size_t> ChartBarAt(const QRectF& rect, const ChartData& chart,
                                      const QPointF& point);

}  // namespace torv
