#include "history_ui/chart_view.h"

// Qt
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

// Std
#include <algorithm>
#include <utility>

#include "history_print/chart_drawing.h"
#include "history_print/chart_layout.h"

namespace torv {

ChartView::ChartView(QWidget* parent) : QWidget(parent) {
  setFixedHeight(160);
  setCursor(Qt::PointingHandCursor);
}

void ChartView::SetChart(ChartData chart) {
  chart_ = std::move(chart);
  pressed_.reset();
  dragged_.reset();
  update();
}

QPoint ChartView::BarCentre(std::size_t index) const {
  return ChartSlotRect(ChartPlotRect(QRectF(rect())), chart_, index).center().toPoint();
}

std::optional<std::size_t> ChartView::BarAt(const QPointF& point) const {
  return ChartBarAt(QRectF(rect()), chart_, point);
}

bool ChartView::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    const auto* help = static_cast<QHelpEvent*>(event);
    if (const std::optional<std::size_t> bar = BarAt(help->pos())) {
      QToolTip::showText(help->globalPos(), ChartBarText(chart_.bars[*bar]), this);
    } else {
      QToolTip::hideText();
      event->ignore();
    }
    return true;
  }
  return QWidget::event(event);
}

void ChartView::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  DrawChart(painter, QRectF(rect()), chart_);
  if (pressed_ && dragged_) {
    // The bars being chosen, shaded over the chart.
    const QRectF plot = ChartPlotRect(QRectF(rect()));
    const QRectF first = ChartSlotRect(plot, chart_, std::min(*pressed_, *dragged_));
    const QRectF last = ChartSlotRect(plot, chart_, std::max(*pressed_, *dragged_));
    painter.fillRect(QRectF(first.topLeft(), last.bottomRight()), QColor(0, 0, 0, 40));
  }
}

void ChartView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  pressed_ = BarAt(event->position());
  dragged_ = pressed_;
  update();
}

void ChartView::mouseMoveEvent(QMouseEvent* event) {
  if (!pressed_) return QWidget::mouseMoveEvent(event);
  // Past either end the drag stays on the last bar reached.
  if (const std::optional<std::size_t> bar = BarAt(event->position())) dragged_ = bar;
  update();
}

void ChartView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !pressed_) return QWidget::mouseReleaseEvent(event);
  if (const std::optional<std::size_t> bar = BarAt(event->position())) dragged_ = bar;
  const std::size_t first = std::min(*pressed_, *dragged_);
  const std::size_t last = std::max(*pressed_, *dragged_);
  pressed_.reset();
  dragged_.reset();
  update();
  if (last < chart_.bars.size())
    emit DaysChosen(chart_.bars[first].firstDay, chart_.bars[last].lastDay);
}

}  // namespace torv
