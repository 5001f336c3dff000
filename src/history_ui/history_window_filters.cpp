// The store, the device list and the filters: everything that decides which
// listing the table shows.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTableView>
#include <QTreeWidget>

// Std
#include <array>

#include "history/calendar_period.h"
#include "history/selection_texts.h"
#include "history_report/event_list.h"
#include "history_report/event_time.h"
#include "history_report/history_summaries.h"
#include "history_report/listed_event.h"
#include "history_report/listing_coverage.h"
#include "history_report/report_heading.h"
#include "history_ui/history_window.h"
#include "history_ui/qt_text.h"

namespace torv {
namespace {

history::CalendarDate DateOf(const QDate& date) {
  return {date.year(), date.month(), date.day()};
}

// The row of every device: the totals of all of them.
history::DeviceSummary TotalOf(const std::vector<history::DeviceSummary>& devices) {
  history::DeviceSummary total;
  for (const history::DeviceSummary& d : devices) {
    total.events += d.events;
    total.copies += d.copies;
    total.gaps += d.gaps;
    total.damaged += d.damaged;
    // The site's first and last event: the oldest and newest of the devices'.
    const auto moment = [](const std::optional<history::StoredEvent>& event) {
      return event ? EventSeconds(*event) : std::nullopt;
    };
    if (moment(d.firstDated) &&
        (!moment(total.firstDated) || *moment(d.firstDated) < *moment(total.firstDated))) {
      total.firstDated = d.firstDated;
    }
    if (moment(d.lastDated) &&
        (!moment(total.lastDated) || *moment(d.lastDated) > *moment(total.lastDated))) {
      total.lastDated = d.lastDated;
    }
    if (d.lastImportUnixSeconds &&
        (!total.lastImportUnixSeconds || *d.lastImportUnixSeconds > *total.lastImportUnixSeconds)) {
      total.lastImportUnixSeconds = d.lastImportUnixSeconds;
    }
  }
  return total;
}

QStringList DeviceRow(const QString& name, const history::DeviceSummary& d) {
  const auto moment = [](const std::optional<history::StoredEvent>& event) {
    return event ? Utf8(DateTimeText(*event)) : QString();
  };
  return {name, QString::number(d.events), QString::number(d.copies), QString::number(d.gaps),
          QString::number(d.damaged), moment(d.firstDated), moment(d.lastDated),
          // Dates in the same form as the table's.
          d.lastImportUnixSeconds
              ? Utf8(LocalTimeText(*d.lastImportUnixSeconds, "%d.%m.%Y %H:%M:%S"))
              : QString()};
}

}  // namespace

void HistoryWindow::ConnectFilters() {
  const auto apply = [this] {
    if (!settingFilters_) RunCommand([this] { ApplyFilters(); });
  };
  connect(ui_.Period, &QComboBox::currentIndexChanged, this, [this](int index) {
    RunCommand([this, index] { SetPeriod(static_cast<PeriodChoice>(index)); });
  });
  connect(ui_.From, &QDateEdit::dateChanged, this, apply);
  connect(ui_.To, &QDateEdit::dateChanged, this, apply);
  connect(ui_.Input, &QLineEdit::textChanged, this, apply);
  connect(ui_.Text, &QLineEdit::textChanged, this, apply);
  connect(ui_.NewestFirst, &QCheckBox::toggled, this, apply);
  // At least one box of a row stays chosen: none at all would show nothing.
  const auto keepOne = [this, apply](QCheckBox* box, auto& row) {
    connect(box, &QCheckBox::toggled, this, [box, &row, apply](bool checked) {
      if (!checked && std::none_of(row.begin(), row.end(),
                                   [](const QCheckBox* other) { return other->isChecked(); })) {
        const QSignalBlocker blocker(box);
        box->setChecked(true);
        return;
      }
      apply();
    });
  };
  for (QCheckBox* kind : ui_.Kinds) keepOne(kind, ui_.Kinds);
  for (QCheckBox* type : ui_.Types) keepOne(type, ui_.Types);
  // The types narrow the input events only while those are shown.
  connect(ui_.Kinds[0], &QCheckBox::toggled, this, [this](bool checked) {
    for (QCheckBox* type : ui_.Types) type->setEnabled(checked);
  });
  connect(ui_.Devices, &QTreeWidget::itemSelectionChanged, this, apply);
  SetPeriod(PeriodChoice::kAll);
}

QDate HistoryWindow::Today() const {
  return today_ ? *today_ : QDate::currentDate();
}

void HistoryWindow::SetPeriod(PeriodChoice choice) {
  const QDate today = Today();
  {
    settingFilters_ = true;
    const QSignalBlocker blocker(ui_.Period);
    // The list shows the new choice already when the operator made it.
    const PeriodChoice shown = shownPeriod_;
    shownPeriod_ = choice;
    ui_.Period->setCurrentIndex(static_cast<int>(choice));
    // The named periods are the command line's --period, counted the same way.
    static constexpr std::array<std::string_view, 12> kNames = {
        "",           "today",        "yesterday",    "this-week", "last-week", "this-month",
        "last-month", "this-quarter", "last-quarter", "this-year", "last-year", ""};
    const std::string_view name = kNames[static_cast<std::size_t>(choice)];
    if (!name.empty()) {
      Result<history::CalendarPeriod> period = history::ParseCalendarPeriod(name, DateOf(today));
      if (period) {
        ui_.From->setDate(QDate(period->from.year, period->from.month, period->from.day));
        ui_.To->setDate(QDate(period->to.year, period->to.month, period->to.day));
      }
    } else if (choice == PeriodChoice::kDates && shown == PeriodChoice::kAll) {
      // Dates of one's own start from what was shown: the whole history.
      ui_.From->setDate(firstEvent_.value_or(today));
      ui_.To->setDate(lastEvent_.value_or(today));
    }
    // The dates are typed only for a period of one's own.
    ui_.From->setEnabled(choice == PeriodChoice::kDates);
    ui_.To->setEnabled(choice == PeriodChoice::kDates);
    settingFilters_ = false;
  }
  ApplyFilters();
}

void HistoryWindow::FocusTextFilter() {
  ui_.Text->setFocus(Qt::ShortcutFocusReason);
  ui_.Text->selectAll();
}

std::optional<QString> HistoryWindow::ChosenDevice() const {
  const QList<QTreeWidgetItem*> chosen = ui_.Devices->selectedItems();
  if (chosen.isEmpty() || ui_.Devices->indexOfTopLevelItem(chosen.front()) == 0) {
    return std::nullopt;
  }
  return chosen.front()->text(0);
}

void HistoryWindow::ChooseDevice(const std::optional<QString>& device) {
  for (int i = 0; i < ui_.Devices->topLevelItemCount(); ++i) {
    QTreeWidgetItem* item = ui_.Devices->topLevelItem(i);
    if (device ? (i > 0 && item->text(0) == *device) : i == 0) {
      ui_.Devices->setCurrentItem(item);
      return;
    }
  }
}

QStringList HistoryWindow::DeviceNames() const {
  QStringList names;
  for (int i = 1; i < ui_.Devices->topLevelItemCount(); ++i) {
    names.push_back(ui_.Devices->topLevelItem(i)->text(0));
  }
  return names;
}

history::EventQuery HistoryWindow::CurrentQuery() const {
  history::EventQuery query;
  if (const std::optional<QString> device = ChosenDevice()) query.devices = {device->toStdString()};
  if (ui_.Period->currentIndex() != static_cast<int>(PeriodChoice::kAll)) {
    query.from = DateOf(ui_.From->date());
    query.to = DateOf(ui_.To->date());
  }
  if (const std::optional<std::vector<int>> inputs = ChosenInputs()) {
    if (inputs->size() == 1) {
      query.input = inputs->front();
    } else {
      query.inputs = *inputs;
    }
  }
  std::vector<EventType> types;
  for (std::size_t i = 0; i < kFilterTypes.size(); ++i) {
    if (ui_.Types[i]->isChecked()) types.push_back(kFilterTypes[i]);
  }
  std::vector<EventKind> kinds;
  for (std::size_t i = 0; i < kFilterKinds.size(); ++i) {
    if (!ui_.Kinds[i]->isChecked()) continue;
    // Some types of the input events: those types instead of the kind.
    if (kFilterKinds[i] == EventKind::kInput && types.size() < kFilterTypes.size()) {
      query.types = types;
    } else {
      kinds.push_back(kFilterKinds[i]);
    }
  }
  if (kinds.size() < kFilterKinds.size()) query.kinds = kinds;
  query.text = ui_.Text->text().trimmed().toStdString();
  query.newestFirst = ui_.NewestFirst->isChecked();
  return query;
}

std::optional<std::vector<int>> HistoryWindow::ChosenInputs() const {
  const QString text = ui_.Input->text().remove(u' ');
  if (text.isEmpty()) return std::nullopt;
  Result<std::vector<int>> inputs = history::ParseNumberList(
      text.toStdString(), history::kFirstNamedNumber, history::kLastNamedNumber);
  if (!inputs) return std::nullopt;
  return *inputs;
}

void HistoryWindow::OpenStoreFrom(const std::optional<std::string>& dbOption,
                                  const history::StoreEnvironment& environment) {
  Result<history::StoreLocation> location = history::ResolveStoreLocation(dbOption, environment);
  if (!location) {
    events_->Clear();
    session_.Close();
    ShowStoreState({});
    Warn(QStringLiteral("Хранилище истории не выбрано: %1").arg(Utf8(location.failure().reason)));
    return;
  }
  OpenStore(*location);
}

void HistoryWindow::OpenStore(const history::StoreLocation& location) {
  // The table lets go of the store before it closes: a box shown on the way
  // runs an event loop that may repaint the table.
  events_->Clear();
  const Status opened = session_.Open(location);
  RefreshDevices();
  ShowListing();
  if (!opened) {
    ShowStoreState(QStringLiteral("не открывается"));
    Warn(QStringLiteral("Хранилище истории не открывается.\n%1\n\n"
                        "Выберите другое хранилище: Файл → Хранилище…")
             .arg(Utf8(opened.failure().reason)));
    return;
  }
  ShowStoreState(IsStoreNotMadeYet(location) ? QStringLiteral("будет создано при первом импорте")
                                             : QString());
}

void HistoryWindow::ShowStoreState(const QString& note) {
  if (!session_.HasLocation()) {
    ui_.StoreLabel->setText(QStringLiteral("Хранилище не выбрано"));
    return;
  }
  const QString shown = Utf8(session_.Location().shown);
  ui_.StoreLabel->setText(QStringLiteral("Хранилище: ") + shown +
                          (note.isEmpty() ? QString() : QStringLiteral(" (") + note + u')'));
  setWindowTitle(Utf8(std::string(kHistoryReportTitle)) + QStringLiteral(" — ") + shown);
}

void HistoryWindow::RefreshDevices() {
  const std::optional<QString> chosen = ChosenDevice();
  settingFilters_ = true;
  ui_.Devices->clear();
  std::vector<history::DeviceSummary> devices;
  if (history::HistoryStore* store = session_.Reader()) {
    Result<std::vector<history::DeviceSummary>> read = store->Devices();
    if (read) {
      devices = std::move(*read);
    } else {
      Warn(QStringLiteral("Список устройств не читается: %1").arg(Utf8(read.failure().reason)));
    }
  }
  const history::DeviceSummary total = TotalOf(devices);
  const auto dayOf = [](const std::optional<history::StoredEvent>& event) -> std::optional<QDate> {
    if (!event || !event->year) return std::nullopt;
    return QDate(*event->year, event->record.Month(), event->record.Day());
  };
  firstEvent_ = dayOf(total.firstDated);
  lastEvent_ = dayOf(total.lastDated);
  ui_.Devices->addTopLevelItem(
      new QTreeWidgetItem(DeviceRow(QString::fromUtf8(kAllDevicesText), total)));
  for (const history::DeviceSummary& d : devices) {
    ui_.Devices->addTopLevelItem(new QTreeWidgetItem(DeviceRow(Utf8(d.device), d)));
  }
  for (int c = 0; c < ui_.Devices->columnCount(); ++c) ui_.Devices->resizeColumnToContents(c);
  ChooseDevice(chosen && DeviceNames().contains(*chosen) ? chosen : std::nullopt);
  settingFilters_ = false;
  UpdateDeviceActions();
}

void HistoryWindow::ApplyFilters() {
  ShowListing();
}

void HistoryWindow::ShowListing() {
  // What the store holds as of now: a later change of it shows on its own.
  if (history::HistoryStore* store = session_.Reader()) {
    Result<std::optional<history::JournalEntry>> head = store->JournalHead();
    shownHead_ = head && *head ? (*head)->hash : std::string();
  }
  const Status shown = session_.Reader() != nullptr
                           ? events_->SetListing(session_.Reader(), CurrentQuery())
                           : (events_->Clear(), Status());
  // One device listed: its name on every row would say nothing.
  ui_.Table->setColumnHidden(HistoryEventModel::kDevice,
                             history::OnlyDevice(CurrentQuery()).has_value());
  ui_.Table->clearSpans();
  for (const int row : events_->GapRows()) {
    ui_.Table->setSpan(row, HistoryEventModel::kDate, 1,
                       HistoryEventModel::kColumnCount - HistoryEventModel::kDate);
  }
  if (!shown) {
    ShowReadFailure(shown.failure());
    return;
  }
  // A list that does not read filters nothing: the field says so.
  const bool wrongInputs = !ui_.Input->text().trimmed().isEmpty() && !ChosenInputs();
  ui_.Input->setStyleSheet(wrongInputs ? QStringLiteral("QLineEdit { border: 2px solid #D55E00; }")
                                       : QString());
  ui_.Input->setToolTip(wrongInputs ? QStringLiteral("Не список входов: номера 1–256 и "
                                                     "диапазоны через запятую, например 3,7,12-15")
                                    : QString());
  const std::size_t gaps = events_->GapRows().size();
  QString count = QStringLiteral("Событий: %1").arg(events_->EventCount()) +
                  (gaps > 0 ? QStringLiteral(", пропусков: %1").arg(gaps) : QString());
  ShowCoverage();
  ShowChart();
  ShowStatistics();
  // An empty table in a hole of the history must not read as "nothing
  // happened": it says where the hole is.
  if (events_->EventCount() == 0 && session_.Reader() != nullptr) {
    Result<std::optional<std::string>> note = NothingListedNote(*session_.Reader(), CurrentQuery());
    if (note && *note) count += QStringLiteral(" — ") + Utf8(**note);
  }
  ui_.CountLabel->setText(count);
}

void HistoryWindow::RefreshFromStore() {
  const int scrolled = ui_.Table->verticalScrollBar()->value();
  RefreshDevices();
  ShowListing();
  ui_.Table->verticalScrollBar()->setValue(scrolled);
}

void HistoryWindow::RefreshWhenStoreChanged() {
  history::HistoryStore* store = session_.Reader();
  // Never under a dialog of the window's own: it may be using the listing.
  if (store == nullptr || QApplication::activeModalWidget() != nullptr) return;
  Result<std::optional<history::JournalEntry>> head = store->JournalHead();
  if (!head || !*head || (*head)->hash == shownHead_) return;
  RefreshFromStore();
}

bool HistoryWindow::StatisticsShown() const {
  return ui_.Views->currentWidget() == ui_.Statistics;
}

void HistoryWindow::ShowStatistics() {
  if (StatisticsShown()) ui_.Statistics->Show(session_.Reader(), CurrentQuery());
}

void HistoryWindow::ShowCoverage() {
  ui_.CoverageLabel->clear();
  history::HistoryStore* store = session_.Reader();
  if (store == nullptr) return;
  Result<ListingCoverage> coverage = ReadCoverage(*store, CurrentQuery());
  if (!coverage) {
    ui_.CoverageLabel->setText(QStringLiteral("Охват не читается: ") +
                               Utf8(coverage.failure().reason));
    return;
  }
  if (coverage->devices.empty()) return;
  const std::vector<std::string> lines = CoverageLines(*coverage);
  ui_.CoverageLabel->setText(
      Utf8(lines.size() == 1 ? lines.front() : CoverageTotalsLine(*coverage)));
}

void HistoryWindow::ShowReadFailure(const Failure& failure) {
  ui_.CountLabel->setText(QStringLiteral("Ошибка чтения: ") + Utf8(failure.reason));
}

}  // namespace torv
