#include "history_print/chart_drawing.h"

// Qt
#include <QFontMetricsF>
#include <QPainter>

// Std
#include <algorithm>
#include <array>
#include <cmath>

#include "history_print/chart_layout.h"
#include "history_report/event_time.h"

namespace torv {
namespace {

constexpr std::array<QRgb, kChartStacks> kStackColours = {
    0xFFD55E00,  // alarms: vermillion
    0xFFE69F00,  // warnings: orange
    0xFF009E73,  // normals: bluish green
    0xFF0072B2,  // faults: blue
    0xFFCC79A7,  // relays: reddish purple
    0xFF999999,  // the rest: grey
};

constexpr std::array<const char*, kChartStacks> kStackNames = {
    "Авар. сигн.", "Пред. сигн.", "Норма", "Неисправности", "Реле", "Прочие"};

constexpr QRgb kAxisColour = 0xFF404040;

QString DayText(std::int64_t day) {
  const history::CalendarDate date = CivilFromDays(day);
  return QStringLiteral("%1.%2.%3")
      .arg(date.day, 2, 10, QLatin1Char('0'))
      .arg(date.month, 2, 10, QLatin1Char('0'))
      .arg(date.year, 4, 10, QLatin1Char('0'));
}

void DrawLegend(QPainter& painter, const QRectF& rect, const ChartData& chart) {
  const QFontMetricsF metrics(painter.font());
  const double box = std::min(10.0, kChartLegendHeight - 6);
  double x = rect.left() + kChartAxisWidth;
  const double middle = rect.top() + kChartLegendHeight / 2;
  for (std::size_t i = 0; i < kChartStacks; ++i) {
    const auto stack = static_cast<ChartStack>(i);
    painter.fillRect(QRectF(x, middle - box / 2, box, box), ChartStackColour(stack));
    x += box + 4;
    const QString name = ChartStackName(stack);
    painter.setPen(QColor::fromRgb(kAxisColour));
    painter.drawText(QRectF(x, rect.top(), metrics.horizontalAdvance(name) + 1, kChartLegendHeight),
                     Qt::AlignLeft | Qt::AlignVCenter, name);
    x += metrics.horizontalAdvance(name) + 12;
  }
  const QString undated = ChartUndatedNote(chart);
  if (!undated.isEmpty()) {
    painter.drawText(QRectF(x, rect.top(), rect.right() - x, kChartLegendHeight),
                     Qt::AlignLeft | Qt::AlignVCenter, undated);
  }
}

void DrawHoles(QPainter& painter, const QRectF& plot, const ChartData& chart) {
  for (const ChartHole& hole : chart.holes) {
    const double left = ChartDayX(plot, chart, hole.fromDay);
    // The hole's last day is covered whole.
    const double right = std::max(ChartDayX(plot, chart, hole.toDay + 1), left + 3);
    painter.fillRect(QRectF(left, plot.top(), right - left, plot.height()),
                     QBrush(QColor::fromRgb(kChartHoleHatch), Qt::BDiagPattern));
  }
}

void DrawBars(QPainter& painter, const QRectF& plot, const ChartData& chart,
              const ChartAxis& axis) {
  const double scale = plot.height() / static_cast<double>(axis.top);
  for (std::size_t i = 0; i < chart.bars.size(); ++i) {
    const QRectF slot = ChartSlotRect(plot, chart, i);
    // Wide slots keep a gap between bars; narrow ones would lose the bar to it.
    const double gap = slot.width() >= 5 ? std::max(1.0, slot.width() * 0.15) : 0.0;
    const double left = slot.left() + gap / 2;
    const double width = slot.width() - gap;
    double bottom = plot.bottom();
    for (std::size_t s = 0; s < kChartStacks; ++s) {
      const std::int64_t count = chart.bars[i].counts[s];
      if (count == 0) continue;
      const double height = static_cast<double>(count) * scale;
      painter.fillRect(QRectF(left, bottom - height, width, height),
                       ChartStackColour(static_cast<ChartStack>(s)));
      bottom -= height;
    }
  }
}

void DrawAxis(QPainter& painter, const QRectF& rect, const QRectF& plot, const ChartAxis& axis) {
  painter.setPen(QColor::fromRgb(kAxisColour));
  painter.drawLine(QPointF(plot.left(), plot.top()), QPointF(plot.left(), plot.bottom()));
  painter.drawLine(QPointF(plot.left(), plot.bottom()), QPointF(plot.right(), plot.bottom()));
  const QFontMetricsF metrics(painter.font());
  for (const std::int64_t tick : axis.ticks) {
    const double y =
        plot.bottom() - plot.height() * static_cast<double>(tick) / static_cast<double>(axis.top);
    painter.drawLine(QPointF(plot.left() - 4, y), QPointF(plot.left(), y));
    painter.drawText(
        QRectF(rect.left(), y - metrics.height() / 2, kChartAxisWidth - 7, metrics.height()),
        Qt::AlignRight | Qt::AlignVCenter, QString::number(tick));
  }
}

void DrawDates(QPainter& painter, const QRectF& rect, const QRectF& plot, const ChartData& chart) {
  if (chart.bars.empty()) return;
  const QFontMetricsF metrics(painter.font());
  const double labelWidth = metrics.horizontalAdvance(QStringLiteral("00.00.0000")) + 12;
  const double slot = plot.width() / static_cast<double>(chart.bars.size());
  // Every n-th bar, so that no two labels touch.
  const auto every = static_cast<std::size_t>(std::max(1.0, std::ceil(labelWidth / slot)));
  painter.setPen(QColor::fromRgb(kAxisColour));
  double taken = rect.left();
  for (std::size_t i = 0; i < chart.bars.size(); i += every) {
    const QRectF bar = ChartSlotRect(plot, chart, i);
    // Each label starts at its bar; one that would run past the chart is
    // pulled back into it, and left out where it would then touch the last.
    const double left = std::min(bar.left(), rect.right() - labelWidth);
    if (left < taken) continue;
    painter.drawLine(QPointF(bar.left(), plot.bottom()), QPointF(bar.left(), plot.bottom() + 3));
    painter.drawText(QRectF(left, plot.bottom() + 2, labelWidth, kChartDatesHeight - 2),
                     Qt::AlignLeft | Qt::AlignVCenter, ChartBarDateLabel(chart.bin, chart.bars[i]));
    taken = left + labelWidth;
  }
}

}  // namespace

QColor ChartStackColour(ChartStack stack) {
  return QColor::fromRgb(kStackColours[static_cast<std::size_t>(stack)]);
}

QString ChartStackName(ChartStack stack) {
  return QString::fromUtf8(kStackNames[static_cast<std::size_t>(stack)]);
}

QString ChartBarDateLabel(ChartBin bin, const ChartBar& bar) {
  if (bin != ChartBin::kMonth) return DayText(bar.firstDay);
  const history::CalendarDate date = CivilFromDays(bar.firstDay);
  return QStringLiteral("%1.%2")
      .arg(date.month, 2, 10, QLatin1Char('0'))
      .arg(date.year, 4, 10, QLatin1Char('0'));
}

QString ChartBarText(const ChartBar& bar) {
  QString text = DayText(bar.firstDay);
  if (bar.lastDay != bar.firstDay) text += QChar(0x2013) + DayText(bar.lastDay);
  text += QStringLiteral(": всего %1").arg(bar.Total());
  for (std::size_t s = 0; s < kChartStacks; ++s) {
    if (bar.counts[s] == 0) continue;
    text += QStringLiteral("; %1 %2")
                .arg(ChartStackName(static_cast<ChartStack>(s)))
                .arg(bar.counts[s]);
  }
  return text;
}

QString ChartUndatedNote(const ChartData& chart) {
  if (chart.undated == 0) return {};
  return QStringLiteral("без даты: %1, не на графике").arg(chart.undated);
}

void DrawChart(QPainter& painter, const QRectF& rect, const ChartData& chart) {
  painter.save();
  painter.fillRect(rect, QColor::fromRgb(kChartBackground));
  const QRectF plot = ChartPlotRect(rect);
  const ChartAxis axis = ChartAxisFor(chart);
  DrawLegend(painter, rect, chart);
  DrawHoles(painter, plot, chart);
  DrawBars(painter, plot, chart, axis);
  DrawAxis(painter, rect, plot, axis);
  DrawDates(painter, rect, plot, chart);
  painter.restore();
}

}  // namespace torv
