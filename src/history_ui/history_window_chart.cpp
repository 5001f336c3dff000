// The chart of events over time above the table: read with the listing, and
// a bar clicked (or a drag over several) lists the bars' days, with "Назад"
// going back to the period listed before.
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStatusBar>

// Std
#include <algorithm>

#include "history_report/chart_data.h"
#include "history_report/event_time.h"
#include "history_ui/history_window.h"
#include "history_ui/qt_text.h"

namespace torv {
namespace {

QDate DateOfDay(std::int64_t day) {
  const history::CalendarDate date = CivilFromDays(day);
  return {date.year, date.month, date.day};
}

QDate DateOf(const history::CalendarDate& date) {
  return {date.year, date.month, date.day};
}

}  // namespace

QWidget* HistoryWindow::BuildChart() {
  ui_.Chart = new ChartView;
  ui_.ShowChart = new QCheckBox(QStringLiteral("График"));
  ui_.ShowChart->setChecked(true);
  ui_.Back = new QPushButton(QStringLiteral("Назад"));
  ui_.Back->setToolTip(QStringLiteral("Период, показанный до выбора на графике"));
  ui_.Back->setEnabled(false);
  connect(ui_.ShowChart, &QCheckBox::toggled, this, [this](bool checked) {
    ui_.Chart->setVisible(checked);
    // A hidden chart is not read: it is read when shown again.
    RunCommand([this] { ShowChart(); });
  });
  connect(ui_.Back, &QPushButton::clicked, this,
          [this] { RunCommand([this] { ListPeriodBefore(); }); });
  connect(ui_.Chart, &ChartView::DaysChosen, this, [this](std::int64_t first, std::int64_t last) {
    RunCommand([this, first, last] { ListDays(first, last); });
  });
  return ui_.Chart;
}

void HistoryWindow::ShowChart() {
  ui_.Back->setEnabled(!periodsBefore_.empty());
  if (!ui_.ShowChart->isChecked()) return;
  history::HistoryStore* store = session_.Reader();
  if (store == nullptr) {
    ui_.Chart->SetChart({});
    return;
  }
  // From the store's counts per day: the events themselves are not read.
  Result<ChartData> chart = ComputeChart(*store, CurrentQuery());
  if (!chart) {
    ui_.Chart->SetChart({});
    statusBar()->showMessage(QStringLiteral("График не читается: ") + Utf8(chart.failure().reason),
                             10000);
    return;
  }
  ui_.Chart->SetChart(std::move(*chart));
}

void HistoryWindow::ListDays(std::int64_t firstDay, std::int64_t lastDay) {
  QDate from = DateOfDay(firstDay);
  QDate to = DateOfDay(lastDay);
  // The first week or month of a period may start before it and the last end
  // after it: the bar counted only the period's days, and so does the listing.
  const history::EventQuery query = CurrentQuery();
  if (query.from) from = std::max(from, DateOf(*query.from));
  if (query.to) to = std::min(to, DateOf(*query.to));
  periodsBefore_.push_back({shownPeriod_, ui_.From->date(), ui_.To->date()});
  SetDates(PeriodChoice::kDates, from, to);
}

void HistoryWindow::ListPeriodBefore() {
  if (periodsBefore_.empty()) return;
  const ListedPeriod before = periodsBefore_.back();
  periodsBefore_.pop_back();
  SetDates(before.choice, before.from, before.to);
}

void HistoryWindow::SetDates(PeriodChoice choice, const QDate& from, const QDate& to) {
  {
    settingFilters_ = true;
    const QSignalBlocker blocker(ui_.Period);
    shownPeriod_ = choice;
    ui_.Period->setCurrentIndex(static_cast<int>(choice));
    ui_.From->setDate(from);
    ui_.To->setDate(to);
    ui_.From->setEnabled(choice == PeriodChoice::kDates);
    ui_.To->setEnabled(choice == PeriodChoice::kDates);
    settingFilters_ = false;
  }
  ApplyFilters();
}

}  // namespace torv
