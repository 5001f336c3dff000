// The chart drawn into an image: each stack in its own colour where the
// layout puts it, the hole hatched, an empty bar left blank; and the layout,
// axis and texts the window's pointer and tool tips rely on.
#include "history_print/chart_drawing.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <set>

#include "history_print/chart_layout.h"
#include "history_report/event_time.h"

namespace torv {
namespace {

// Four days: a full bar, an empty day in a hole, an empty day with no hole,
// and a bar of two stacks.
ChartData SmallChart() {
  const std::int64_t day = DaysFromCivil(2026, 3, 2);
  ChartData chart;
  chart.bin = ChartBin::kDay;
  chart.bars = {{day, day, {2, 1, 3, 1, 1, 2}},
                {day + 1, day + 1, {}},
                {day + 2, day + 2, {}},
                {day + 3, day + 3, {4, 0, 3, 0, 0, 0}}};
  chart.holes = {{day + 1, day + 1}};
  return chart;
}

QImage Drawn(const ChartData& chart, const QRectF& rect) {
  QImage image(static_cast<int>(rect.width()), static_cast<int>(rect.height()),
               QImage::Format_ARGB32);
  image.fill(Qt::magenta);  // whatever the chart leaves unpainted shows
  QPainter painter(&image);
  DrawChart(painter, rect, chart);
  return image;
}

// The colours inside `area`, a pixel in from its edges.
std::set<QRgb> ColoursIn(const QImage& image, const QRectF& area) {
  std::set<QRgb> colours;
  const QRect inside = area.toAlignedRect().adjusted(2, 2, -2, -2);
  for (int y = inside.top(); y <= inside.bottom(); ++y) {
    for (int x = inside.left(); x <= inside.right(); ++x) colours.insert(image.pixel(x, y));
  }
  return colours;
}

TEST(ChartDrawingTest, StacksInTheirColoursBottomUp) {
  const ChartData chart = SmallChart();
  const QRectF rect(0, 0, 320, 160);
  const QImage image = Drawn(chart, rect);
  const QRectF plot = ChartPlotRect(rect);
  const ChartAxis axis = ChartAxisFor(chart);
  ASSERT_EQ(axis.top, 10);
  const double scale = plot.height() / 10.0;
  const QRgb expected[] = {0xFFD55E00, 0xFFE69F00, 0xFF009E73, 0xFF0072B2, 0xFFCC79A7, 0xFF999999};
  for (const std::size_t bar : {std::size_t{0}, std::size_t{3}}) {
    const double x = ChartSlotRect(plot, chart, bar).center().x();
    std::int64_t below = 0;
    for (std::size_t s = 0; s < kChartStacks; ++s) {
      const std::int64_t count = chart.bars[bar].counts[s];
      if (count == 0) continue;
      const double y =
          plot.bottom() - (static_cast<double>(below) + static_cast<double>(count) / 2) * scale;
      EXPECT_EQ(image.pixel(static_cast<int>(x), static_cast<int>(y)), expected[s])
          << "bar " << bar << ", stack " << s;
      below += count;
    }
  }
  // Above the shorter bar: the background.
  const QPointF above(ChartSlotRect(plot, chart, 3).center().x(), plot.top() + 3);
  EXPECT_EQ(image.pixel(above.toPoint()), kChartBackground);
  EXPECT_EQ(ChartStackColour(ChartStack::kFault), QColor(0x00, 0x72, 0xB2));
}

TEST(ChartDrawingTest, TheHoleIsHatchedAndAnEmptyDayIsBlank) {
  const ChartData chart = SmallChart();
  const QRectF rect(0, 0, 320, 160);
  const QImage image = Drawn(chart, rect);
  const QRectF plot = ChartPlotRect(rect);
  EXPECT_EQ(ColoursIn(image, ChartSlotRect(plot, chart, 1)),
            (std::set<QRgb>{kChartBackground, kChartHoleHatch}));
  EXPECT_EQ(ColoursIn(image, ChartSlotRect(plot, chart, 2)), std::set<QRgb>{kChartBackground});
  // Nothing of the rectangle is left unpainted.
  EXPECT_EQ(image.pixel(1, 1), kChartBackground);
  EXPECT_EQ(image.pixel(318, 158), kChartBackground);
}

TEST(ChartDrawingTest, AHoleOfMonthsCoversItsDaysShareOfEachBar) {
  ChartData chart;
  chart.bin = ChartBin::kMonth;
  chart.bars = {{DaysFromCivil(2026, 1, 1), DaysFromCivil(2026, 1, 31), {}},
                {DaysFromCivil(2026, 2, 1), DaysFromCivil(2026, 2, 28), {}}};
  const QRectF plot(0, 0, 200, 100);
  EXPECT_DOUBLE_EQ(ChartDayX(plot, chart, DaysFromCivil(2026, 1, 1)), 0.0);
  EXPECT_DOUBLE_EQ(ChartDayX(plot, chart, DaysFromCivil(2026, 2, 1)), 100.0);
  EXPECT_DOUBLE_EQ(ChartDayX(plot, chart, DaysFromCivil(2026, 2, 15)), 150.0);
  EXPECT_DOUBLE_EQ(ChartDayX(plot, chart, DaysFromCivil(2026, 3, 1)), 200.0);
}

TEST(ChartDrawingTest, TheAxisTicksAreRound) {
  const auto axisOf = [](std::int64_t tallest) {
    ChartData chart;
    chart.bars = {{0, 0, {tallest, 0, 0, 0, 0, 0}}};
    return ChartAxisFor(chart);
  };
  EXPECT_EQ(axisOf(0).ticks, (std::vector<std::int64_t>{0, 1}));
  EXPECT_EQ(axisOf(3).ticks, (std::vector<std::int64_t>{0, 1, 2, 3}));
  EXPECT_EQ(axisOf(42).ticks, (std::vector<std::int64_t>{0, 10, 20, 30, 40, 50}));
  EXPECT_EQ(axisOf(42).top, 50);
  EXPECT_EQ(axisOf(1234).top, 1500);
  EXPECT_EQ(axisOf(1234).ticks, (std::vector<std::int64_t>{0, 500, 1000, 1500}));
}

TEST(ChartDrawingTest, TheBarUnderThePoint) {
  const ChartData chart = SmallChart();
  const QRectF rect(0, 0, 320, 160);
  const QRectF plot = ChartPlotRect(rect);
  for (std::size_t i = 0; i < chart.bars.size(); ++i) {
    EXPECT_EQ(ChartBarAt(rect, chart, ChartSlotRect(plot, chart, i).center()), i);
  }
  // The dates under a bar are its own; the axis on the left is no bar's.
  EXPECT_EQ(ChartBarAt(rect, chart, QPointF(plot.left() + 1, rect.bottom() - 2)), 0u);
  EXPECT_EQ(ChartBarAt(rect, chart, QPointF(plot.left() - 1, 80)), std::nullopt);
  EXPECT_EQ(ChartBarAt(rect, chart, QPointF(plot.right() + 1, 80)), std::nullopt);
  EXPECT_EQ(ChartBarAt(rect, ChartData{}, QPointF(100, 80)), std::nullopt);
}

TEST(ChartDrawingTest, DatesToolTipsAndTheUndatedNote) {
  const ChartData chart = SmallChart();
  EXPECT_EQ(ChartBarText(chart.bars[0]),
            QStringLiteral("02.03.2026: всего 10; Авар. сигн. 2; Пред. сигн. 1; Норма 3; "
                           "Неисправности 1; Реле 1; Прочие 2"));
  EXPECT_EQ(ChartBarText(chart.bars[1]), QStringLiteral("03.03.2026: всего 0"));
  const ChartBar week{DaysFromCivil(2026, 3, 2), DaysFromCivil(2026, 3, 8), {5, 0, 37, 0, 0, 0}};
  EXPECT_EQ(ChartBarText(week),
            QStringLiteral("02.03.2026–08.03.2026: всего 42; Авар. сигн. 5; Норма 37"));
  EXPECT_EQ(ChartBarDateLabel(ChartBin::kWeek, week), QStringLiteral("02.03.2026"));
  EXPECT_EQ(ChartBarDateLabel(ChartBin::kMonth, {DaysFromCivil(2026, 3, 1), 0, {}}),
            QStringLiteral("03.2026"));
  EXPECT_EQ(ChartStackName(ChartStack::kOther), QStringLiteral("Прочие"));
  ChartData undated = chart;
  EXPECT_EQ(ChartUndatedNote(undated), QString());
  undated.undated = 12;
  EXPECT_EQ(ChartUndatedNote(undated), QStringLiteral("без даты: 12, не на графике"));
}

}  // namespace
}  // namespace torv
