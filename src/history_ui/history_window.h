// The history window: the devices of a store on the left, filters above the
// table of their events, and the commands that import copies, name inputs
// and relays, withdraw a device's copies, rename or remove a device, export
// what the filters show, and print it.
//
// Every filter goes into one EventQuery; the table, the exports and the
// printout are all made from it by the same code the command line uses, so
// what is shown is what is saved. Boxes and dialogs go through
// HistoryPrompts only.
#pragma once

// Qt
#include <QDate>
#include <QMainWindow>
#include <QString>

// Std
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "history/history_model.h"
#include "history/store_location.h"
#include "history_ui/chart_view.h"
#include "history_ui/date_field.h"
#include "history_ui/history_event_model.h"
#include "history_ui/history_prompts.h"
#include "history_ui/statistics_view.h"
#include "history_ui/store_session.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSplitter;
class QTabWidget;
class QTableView;
class QTimer;
class QTreeWidget;

namespace torv {

// The period choices, in the order of the period list: the command line's
// named periods (calendar_period.h), then dates of one's own.
enum class PeriodChoice {
  kAll,
  kToday,
  kYesterday,
  kThisWeek,
  kLastWeek,
  kThisMonth,
  kLastMonth,
  kThisQuarter,
  kLastQuarter,
  kThisYear,
  kLastYear,
  kDates
};

// The kinds of the kind check boxes, in order.
inline constexpr std::array<EventKind, 5> kFilterKinds = {EventKind::kInput, EventKind::kDevice,
                                                          EventKind::kRelay, EventKind::kDamaged,
                                                          EventKind::kOther};

// The input events' types of the type check boxes, in order: they narrow
// the kind box of the inputs.
inline constexpr std::array<EventType, 3> kFilterTypes = {EventType::kAlarm, EventType::kWarning,
                                                          EventType::kNormal};

struct HistoryWindowControls {
  QTreeWidget* Devices = nullptr;
  QComboBox* Period = nullptr;
  DateField* From = nullptr;
  DateField* To = nullptr;
  QLineEdit* Input = nullptr;  // inputs such as 3,7,12-15; empty: every input
  std::array<QCheckBox*, 5> Kinds{};
  std::array<QCheckBox*, 3> Types{};
  QLineEdit* Text = nullptr;
  QCheckBox* NewestFirst = nullptr;
  QTableView* Table = nullptr;
  // The table and the statistics, each a tab; the exports write the tab shown.
  QTabWidget* Views = nullptr;
  StatisticsView* Statistics = nullptr;
  QSplitter* Splitter = nullptr;
  QLabel* StoreLabel = nullptr;
  QLabel* CountLabel = nullptr;
  QLabel* CopyLabel = nullptr;  // where the selected event came from
  // What the listing covers: the chosen device's line, or the totals of all.
  QLabel* CoverageLabel = nullptr;
  // The events over time above the table, shown while "График" is checked;
  // a bar clicked lists its days, and "Назад" the period listed before.
  ChartView* Chart = nullptr;
  QCheckBox* ShowChart = nullptr;
  QPushButton* Back = nullptr;

  QAction* ChooseStore = nullptr;
  QAction* Import = nullptr;
  QAction* Export = nullptr;
  QAction* Preview = nullptr;
  QAction* Print = nullptr;
  QAction* Names = nullptr;
  // Enabled while one device is chosen in the list.
  QAction* Copies = nullptr;
  QAction* RenameDevice = nullptr;
  QAction* RemoveDevice = nullptr;
  QAction* FindText = nullptr;
  QAction* Refresh = nullptr;  // F5: the store read again
  QAction* Quit = nullptr;
};

// The device list's first row: every device at once.
inline constexpr char kAllDevicesText[] = "Все устройства";

class HistoryWindow : public QMainWindow {
  Q_OBJECT

 public:
  // `prompts` must outlive the window. The window opens no store yet.
  explicit HistoryWindow(HistoryPrompts& prompts, QWidget* parent = nullptr);
  ~HistoryWindow() override;

  // Opens the store named by a --db value, TORVDOC_DB or the default place;
  // a failure is shown in a box and the window stays usable.
  void OpenStoreFrom(const std::optional<std::string>& dbOption,
                     const history::StoreEnvironment& environment);
  // Opens `location`; a failure is shown in a box.
  void OpenStore(const history::StoreLocation& location);

  const HistoryWindowControls& Ui() const { return ui_; }
  HistoryEventModel& Events() { return *events_; }
  StoreSession& Session() { return session_; }
  // The query of the filters as they are set now.
  history::EventQuery CurrentQuery() const;
  // The day "today" means for the period choices (the real date by default).
  void SetTodayForTesting(const QDate& today) { today_ = today; }
  // The device chosen in the list; none for every device.
  std::optional<QString> ChosenDevice() const;
  // The inputs of the input field; none while it is empty or not a list.
  std::optional<std::vector<int>> ChosenInputs() const;
  void ChooseDevice(const std::optional<QString>& device);

 public:  // commands
  void ImportCopies();
  void EditNames();
  // The chosen device's copies, and the withdrawal of those the operator
  // chooses among them.
  void ShowCopies();
  void RenameChosenDevice();
  void RemoveChosenDevice();
  void ExportListing();
  void PrintListing();
  void PreviewListing();
  void ChooseStore();
  void ApplyFilters();
  void SetPeriod(PeriodChoice choice);
  // Lists the days from one to another (days since 1970-01-01) as dates of
  // one's own, within the period shown; "Назад" goes back to that period.
  void ListDays(std::int64_t firstDay, std::int64_t lastDay);
  // The period listed before the last ListDays, if there was one.
  void ListPeriodBefore();
  void FocusTextFilter();
  // Reads the store again when its journal moved on (another program or
  // workstation imported, withdrew or renamed); every few seconds on its own.
  void RefreshWhenStoreChanged();

 protected:  // QWidget API
  void closeEvent(QCloseEvent* event) override;

 protected:  // QObject API
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:  // building
  void BuildActions();
  void BuildMenus();
  QWidget* BuildFilters();
  void BuildCentral();
  void ConnectFilters();
  void KeepShortcutsFromFields();
  void ReadSettings();
  void WriteSettings() const;

 private:
  // Runs a command: a failure that escapes it is shown, never lost.
  void RunCommand(const std::function<void()>& command);
  void RefreshDevices();
  void UpdateDeviceActions();
  // After a change of the store: the device list and the listing read anew,
  // with `chosen` the device chosen in the list (every device for none).
  void ShowChangedStore(const std::optional<QString>& chosen);
  void WithdrawCopies(const CopiesChoices& choices, const std::vector<std::int64_t>& ids);
  void ShowListing();
  void ShowStoreState(const QString& note);
  // The count line tells why the listing could not be read.
  void ShowReadFailure(const Failure& failure);
  // What the listing covers, above the table.
  void ShowCoverage();
  // The chart of the listing's query, while it is shown.
  void ShowChart();
  // The statistics of the listing's query, while their tab is shown.
  void ShowStatistics();
  bool StatisticsShown() const;
  QWidget* BuildChart();
  // Sets the period list and dates at once, reading the listing once.
  void SetDates(PeriodChoice choice, const QDate& from, const QDate& to);
  // The device list and the table read again, the table kept where it was.
  void RefreshFromStore();
  void Warn(const QString& text);
  // The store to write, or none after a box that says why.
  history::HistoryStore* WritableStore();
  // The store to export or print from, or none (nothing stored yet) after a
  // box titled `title`.
  history::HistoryStore* StoreToList(const QString& title);
  QDate Today() const;
  // Keeps the folder of `path` as the import's or the export's own.
  void RememberFolder(QString& folder, const QString& path);
  QStringList DeviceNames() const;

  HistoryPrompts& prompts_;
  HistoryWindowControls ui_;
  HistoryEventModel* events_ = nullptr;
  StoreSession session_;
  std::optional<QDate> today_;
  // The first and last dated event of every device: where dates of one's
  // own start from after the whole history.
  std::optional<QDate> firstEvent_;
  PeriodChoice shownPeriod_ = PeriodChoice::kAll;
  // The periods listed before each bar chosen in the chart, newest last.
  struct ListedPeriod {
    PeriodChoice choice = PeriodChoice::kAll;
    QDate from;
    QDate to;
  };
  std::vector<ListedPeriod> periodsBefore_;
  // The journal's newest entry as last read, and the look for a newer one.
  std::string shownHead_;
  QTimer* storeWatch_ = nullptr;
  std::optional<QDate> lastEvent_;
  // Copies come from one place and listings go to another: each dialog
  // opens where it was last used.
  QString importFolder_;
  QString exportFolder_;
  QString lastExportFilter_;
  // Set while the window itself changes filter controls, so that one change
  // of several does not read the store several times.
  bool settingFilters_ = false;
};

}  // namespace torv
