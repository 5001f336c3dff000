// The chart of events over time above the window's table: it paints the
// chart with DrawChart, tells a bar's period and counts in a tool tip, and
// offers the days of the bars clicked or dragged over as a period to list.
#pragma once

// Qt
#include <QWidget>

// Std
#include <cstdint>
#include <optional>

#include "history_report/chart_data.h"

namespace torv {

class ChartView : public QWidget {
  Q_OBJECT

 public:
  explicit ChartView(QWidget* parent = nullptr);

  void SetChart(ChartData chart);
  const ChartData& Chart() const { return chart_; }
  // The centre of bar `index` in the widget: where a click chooses it.
  QPoint BarCentre(std::size_t index) const;

 signals:
  // The bars from one to another (either way round) were chosen: their
  // first and last day, in days since 1970-01-01.
  void DaysChosen(std::int64_t firstDay, std::int64_t lastDay);

 protected:  // QWidget API
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  std::optional<std::size_t> BarAt(const QPointF& point) const;

  ChartData chart_;
  // The bars being dragged over: where the press was and where it is now.
  std::optional<std::size_t> pressed_;
  std::optional<std::size_t> dragged_;
};

}  // namespace torv
