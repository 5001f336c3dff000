#include "history_print/chart_layout.h"

// Std
#include <algorithm>
#include <cmath>

namespace torv {

QRectF ChartPlotRect(const QRectF& rect) {
  return rect.adjusted(kChartAxisWidth, kChartLegendHeight, -kChartRightMargin, -kChartDatesHeight);
}

QRectF ChartSlotRect(const QRectF& plot, const ChartData& chart, std::size_t index) {
  const double width =
      plot.width() / static_cast<double>(std::max<std::size_t>(chart.bars.size(), 1));
  return {plot.left() + width * static_cast<double>(index), plot.top(), width, plot.height()};
}

double ChartDayX(const QRectF& plot, const ChartData& chart, std::int64_t day) {
  if (chart.bars.empty() || day <= chart.bars.front().firstDay) return plot.left();
  if (day > chart.bars.back().lastDay) return plot.right();
  const auto bar = std::find_if(chart.bars.begin(), chart.bars.end(),
                                [day](const ChartBar& b) { return day <= b.lastDay; });
  const QRectF slot =
      ChartSlotRect(plot, chart, static_cast<std::size_t>(bar - chart.bars.begin()));
  // Months are of different lengths: a day is a share of its own bar.
  const double days = static_cast<double>(bar->lastDay - bar->firstDay + 1);
  return slot.left() + slot.width() * static_cast<double>(day - bar->firstDay) / days;
}

ChartAxis ChartAxisFor(const ChartData& chart) {
  std::int64_t tallest = 0;
  for (const ChartBar& bar : chart.bars) tallest = std::max(tallest, bar.Total());
  ChartAxis axis;
  std::int64_t step = 1;
  // The smallest round step that reaches the tallest bar in at most 5 steps.
  for (std::int64_t power = 1;; power *= 10) {
    const std::int64_t steps[] = {power, 2 * power, 5 * power};
    const auto fits = std::find_if(std::begin(steps), std::end(steps),
                                   [tallest](std::int64_t s) { return s * 5 >= tallest; });
    if (fits != std::end(steps)) {
      step = *fits;
      break;
    }
  }
  axis.top = std::max<std::int64_t>(step, (tallest + step - 1) / step * step);
  for (std::int64_t tick = 0; tick <= axis.top; tick += step) axis.ticks.push_back(tick);
  return axis;
}

std::optional<std::size_t> ChartBarAt(const QRectF& rect, const ChartData& chart,
                                      const QPointF& point) {
  const QRectF plot = ChartPlotRect(rect);
  if (chart.bars.empty() || point.x() < plot.left() || point.x() >= plot.right() ||
      point.y() < rect.top() || point.y() >= rect.bottom()) {
    return std::nullopt;
  }
  const double width = plot.width() / static_cast<double>(chart.bars.size());
  const auto index = static_cast<std::size_t>(std::floor((point.x() - plot.left()) / width));
  return std::min(index, chart.bars.size() - 1);
}

}  // namespace torv
