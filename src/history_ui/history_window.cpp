#include "history_ui/history_window.h"

// Qt
#include <QAbstractSpinBox>
#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "history_report/report_heading.h"

namespace torv {
namespace {

// How often the window looks whether another program changed the store.
constexpr int kStoreWatchMilliseconds = 5000;

const QString kSettingsOrganization = QStringLiteral("torvdoc");
const QString kSettingsApplication = QStringLiteral("torvdoc-history");

QAction* MakeAction(QWidget* owner, const QString& text, const QKeySequence& keys = {}) {
  auto* action = new QAction(text, owner);
  if (!keys.isEmpty()) action->setShortcut(keys);
  owner->addAction(action);
  return action;
}

}  // namespace

HistoryWindow::HistoryWindow(HistoryPrompts& prompts, QWidget* parent)
    : QMainWindow(parent), prompts_(prompts) {
  setWindowTitle(QString::fromUtf8(kHistoryReportTitle.data(),
                                   static_cast<qsizetype>(kHistoryReportTitle.size())));
  events_ = new HistoryEventModel(this);
  // Queued: the table asks for rows while it paints, and the label is not
  // changed from inside the model's own data().
  connect(
      events_, &HistoryEventModel::PageReadFailed, this,
      [this] {
        if (const std::optional<Failure>& failure = events_->ReadFailure()) {
          ShowReadFailure(*failure);
        }
      },
      Qt::QueuedConnection);
  BuildActions();
  BuildMenus();
  BuildCentral();
  ConnectFilters();
  UpdateDeviceActions();
  KeepShortcutsFromFields();
  resize(1240, 720);
  ReadSettings();
  ShowStoreState({});
}

HistoryWindow::~HistoryWindow() = default;

void HistoryWindow::BuildActions() {
  ui_.ChooseStore = MakeAction(this, QStringLiteral("Хранилище…"));
  ui_.Import =
      MakeAction(this, QStringLiteral("Импорт копий…"), QKeySequence(Qt::CTRL | Qt::Key_O));
  ui_.Export = MakeAction(this, QStringLiteral("Экспорт…"), QKeySequence(Qt::CTRL | Qt::Key_E));
  ui_.Preview = MakeAction(this, QStringLiteral("Предварительный просмотр…"));
  ui_.Print = MakeAction(this, QStringLiteral("Печать…"), QKeySequence(Qt::CTRL | Qt::Key_P));
  ui_.Names = MakeAction(this, QStringLiteral("Названия входов и реле…"));
  ui_.Copies = MakeAction(this, QStringLiteral("Копии устройства…"));
  ui_.RenameDevice = MakeAction(this, QStringLiteral("Переименовать устройство…"));
  ui_.RemoveDevice = MakeAction(this, QStringLiteral("Удалить устройство…"));
  ui_.FindText =
      MakeAction(this, QStringLiteral("Искать текст"), QKeySequence(Qt::CTRL | Qt::Key_F));
  ui_.Quit = MakeAction(this, QStringLiteral("Выход"), QKeySequence(Qt::CTRL | Qt::Key_Q));
  ui_.Refresh = MakeAction(this, QStringLiteral("Обновить"), QKeySequence::Refresh);
  connect(ui_.ChooseStore, &QAction::triggered, this,
          [this] { RunCommand([this] { ChooseStore(); }); });
  connect(ui_.Import, &QAction::triggered, this,
          [this] { RunCommand([this] { ImportCopies(); }); });
  connect(ui_.Export, &QAction::triggered, this,
          [this] { RunCommand([this] { ExportListing(); }); });
  connect(ui_.Preview, &QAction::triggered, this,
          [this] { RunCommand([this] { PreviewListing(); }); });
  connect(ui_.Print, &QAction::triggered, this, [this] { RunCommand([this] { PrintListing(); }); });
  connect(ui_.Names, &QAction::triggered, this, [this] { RunCommand([this] { EditNames(); }); });
  connect(ui_.Copies, &QAction::triggered, this, [this] { RunCommand([this] { ShowCopies(); }); });
  connect(ui_.RenameDevice, &QAction::triggered, this,
          [this] { RunCommand([this] { RenameChosenDevice(); }); });
  connect(ui_.RemoveDevice, &QAction::triggered, this,
          [this] { RunCommand([this] { RemoveChosenDevice(); }); });
  connect(ui_.FindText, &QAction::triggered, this, [this] { FocusTextFilter(); });
  connect(ui_.Quit, &QAction::triggered, this, &QWidget::close);
  connect(ui_.Refresh, &QAction::triggered, this,
          [this] { RunCommand([this] { RefreshFromStore(); }); });
  storeWatch_ = new QTimer(this);
  storeWatch_->setInterval(kStoreWatchMilliseconds);
  connect(storeWatch_, &QTimer::timeout, this,
          [this] { RunCommand([this] { RefreshWhenStoreChanged(); }); });
  storeWatch_->start();
}

void HistoryWindow::BuildMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("&Файл"));
  file->addAction(ui_.ChooseStore);
  file->addSeparator();
  file->addAction(ui_.Import);
  file->addAction(ui_.Export);
  file->addSeparator();
  file->addAction(ui_.Preview);
  file->addAction(ui_.Print);
  file->addSeparator();
  file->addAction(ui_.Quit);
  QMenu* history = menuBar()->addMenu(QStringLiteral("&История"));
  history->addAction(ui_.Names);
  history->addAction(ui_.FindText);
  history->addAction(ui_.Refresh);
  history->addSeparator();
  history->addAction(ui_.Copies);
  history->addAction(ui_.RenameDevice);
  history->addAction(ui_.RemoveDevice);

  QToolBar* tools = addToolBar(QStringLiteral("Команды"));
  tools->setObjectName(QStringLiteral("commands"));
  tools->setMovable(false);
  tools->addAction(ui_.Import);
  tools->addAction(ui_.Names);
  tools->addSeparator();
  tools->addAction(ui_.Export);
  tools->addAction(ui_.Print);
}

QWidget* HistoryWindow::BuildFilters() {
  auto* filters = new QWidget;
  auto* grid = new QGridLayout(filters);
  grid->setContentsMargins(0, 0, 0, 0);

  ui_.Period = new QComboBox;
  ui_.Period->addItems({QStringLiteral("всё время"), QStringLiteral("сегодня"),
                        QStringLiteral("вчера"), QStringLiteral("эта неделя"),
                        QStringLiteral("прошлая неделя"), QStringLiteral("этот месяц"),
                        QStringLiteral("прошлый месяц"), QStringLiteral("этот квартал"),
                        QStringLiteral("прошлый квартал"), QStringLiteral("этот год"),
                        QStringLiteral("прошлый год"), QStringLiteral("с даты по дату")});
  ui_.From = new DateField;
  ui_.To = new DateField;
  for (DateField* edit : {ui_.From, ui_.To}) {
    edit->setDate(Today());
    // Its own size hint cut the year's last digit under the calendar button
    // once the window was 1024 pixels wide.
    edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("00.00.00000")) +
                          edit->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 16);
    // The tool tip alone would be seen only by pointing at the field.
    connect(edit, &DateField::Refused, this,
            [this](const QString& why) { statusBar()->showMessage(why, 10000); });
  }
  ui_.Input = new QLineEdit;
  ui_.Input->setPlaceholderText(QStringLiteral("все, или 3,7,12-15"));
  ui_.Input->setClearButtonEnabled(true);
  ui_.Text = new QLineEdit;
  ui_.Text->setPlaceholderText(QStringLiteral("текст или название (Ctrl+F)"));
  ui_.Text->setClearButtonEnabled(true);
  ui_.NewestFirst = new QCheckBox(QStringLiteral("Сначала новые"));

  grid->addWidget(new QLabel(QStringLiteral("Период:")), 0, 0);
  grid->addWidget(ui_.Period, 0, 1);
  grid->addWidget(new QLabel(QStringLiteral("с")), 0, 2);
  grid->addWidget(ui_.From, 0, 3);
  grid->addWidget(new QLabel(QStringLiteral("по")), 0, 4);
  grid->addWidget(ui_.To, 0, 5);
  grid->addWidget(new QLabel(QStringLiteral("Вход:")), 0, 6);
  grid->addWidget(ui_.Input, 0, 7);
  grid->addWidget(ui_.NewestFirst, 0, 8);

  auto* kinds = new QHBoxLayout;
  const auto box = [](std::string_view label) {
    auto* check =
        new QCheckBox(QString::fromUtf8(label.data(), static_cast<qsizetype>(label.size())));
    check->setChecked(true);
    return check;
  };
  for (std::size_t i = 0; i < kFilterKinds.size(); ++i) {
    ui_.Kinds[i] = box(EventKindLabel(kFilterKinds[i]));
    kinds->addWidget(ui_.Kinds[i]);
    if (kFilterKinds[i] != EventKind::kInput) continue;
    // The input events by type, right after the box of them all.
    kinds->addWidget(new QLabel(QStringLiteral("(")));
    for (std::size_t t = 0; t < kFilterTypes.size(); ++t) {
      ui_.Types[t] = box(EventTypeLabel(kFilterTypes[t]));
      kinds->addWidget(ui_.Types[t]);
    }
    kinds->addWidget(new QLabel(QStringLiteral(")")));
  }
  kinds->addStretch();
  // The kinds take a row of their own: with the types they are the widest.
  grid->addWidget(new QLabel(QStringLiteral("События:")), 1, 0);
  grid->addLayout(kinds, 1, 1, 1, 8);
  grid->addWidget(new QLabel(QStringLiteral("Текст:")), 2, 0);
  grid->addWidget(ui_.Text, 2, 1, 1, 8);
  grid->setColumnStretch(7, 1);
  return filters;
}

void HistoryWindow::BuildCentral() {
  ui_.Devices = new QTreeWidget;
  ui_.Devices->setRootIsDecorated(false);
  ui_.Devices->setHeaderLabels({QStringLiteral("Устройство"), QStringLiteral("Событий"),
                                QStringLiteral("Копий"), QStringLiteral("Пропусков"),
                                QStringLiteral("Некорректных"), QStringLiteral("Первое событие"),
                                QStringLiteral("Последнее событие"),
                                QStringLiteral("Последний импорт")});
  ui_.Devices->setSelectionMode(QAbstractItemView::SingleSelection);
  connect(ui_.Devices, &QTreeWidget::itemSelectionChanged, this,
          &HistoryWindow::UpdateDeviceActions);

  ui_.Table = new QTableView;
  ui_.Table->setModel(events_);
  ui_.Table->setSelectionBehavior(QAbstractItemView::SelectRows);
  ui_.Table->verticalHeader()->hide();
  ui_.Table->verticalHeader()->setDefaultSectionSize(ui_.Table->fontMetrics().height() + 6);
  ui_.Table->horizontalHeader()->setStretchLastSection(true);
  ui_.Table->setWordWrap(false);
  const int widths[] = {150, 90, 70, 150, 80};
  for (int c = 0; c < 5; ++c) ui_.Table->setColumnWidth(c, widths[c]);

  auto* right = new QWidget;
  auto* column = new QVBoxLayout(right);
  column->setContentsMargins(0, 0, 0, 0);
  column->addWidget(BuildFilters());
  ui_.CoverageLabel = new QLabel;
  ui_.CoverageLabel->setWordWrap(true);
  ui_.CoverageLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
  // The chart's switch and way back stand beside what the listing covers,
  // with the chart under them.
  QWidget* chart = BuildChart();
  auto* above = new QHBoxLayout;
  above->addWidget(ui_.CoverageLabel, 1);
  above->addWidget(ui_.ShowChart);
  above->addWidget(ui_.Back);
  column->addLayout(above);
  column->addWidget(chart);
  ui_.Views = new QTabWidget;
  ui_.Views->addTab(ui_.Table, QStringLiteral("События"));
  ui_.Statistics = new StatisticsView;
  ui_.Views->addTab(ui_.Statistics, QStringLiteral("Статистика"));
  // Read when its tab is shown, not with every change of a filter.
  connect(ui_.Views, &QTabWidget::currentChanged, this,
          [this] { RunCommand([this] { ShowStatistics(); }); });
  column->addWidget(ui_.Views, 1);

  ui_.Splitter = new QSplitter;
  ui_.Splitter->addWidget(ui_.Devices);
  ui_.Splitter->addWidget(right);
  ui_.Splitter->setStretchFactor(1, 1);
  ui_.Splitter->setSizes({470, 770});
  setCentralWidget(ui_.Splitter);

  ui_.StoreLabel = new QLabel;
  ui_.CopyLabel = new QLabel;
  ui_.CountLabel = new QLabel;
  statusBar()->addWidget(ui_.StoreLabel, 1);
  statusBar()->addPermanentWidget(ui_.CopyLabel);
  statusBar()->addPermanentWidget(ui_.CountLabel);
  connect(
      ui_.Table->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
      [this](const QModelIndex& current) {
        ui_.CopyLabel->setText(current.isValid() ? events_->CopyTextAt(current.row()) : QString());
      });
  // A listing read again may hold other rows: the copy shown would be stale.
  connect(events_, &QAbstractItemModel::modelReset, ui_.CopyLabel, &QLabel::clear);
}

void HistoryWindow::KeepShortcutsFromFields() {
  // A line edit claims some Ctrl keys for itself on X11 desktops (Ctrl+E
  // moves to the end of the line, Ctrl+F a character on), and those take
  // the window's shortcuts away while the text filter or a number field
  // has the focus. The window's own keys win in every field.
  for (QLineEdit* field : findChildren<QLineEdit*>()) field->installEventFilter(this);
  // A spin box or date field hands the key to its line edit itself.
  for (QAbstractSpinBox* field : findChildren<QAbstractSpinBox*>()) field->installEventFilter(this);
}

bool HistoryWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::ShortcutOverride) {
    const auto* key = static_cast<QKeyEvent*>(event);
    const QKeySequence pressed(key->keyCombination());
    for (const QAction* action : {ui_.Import, ui_.Export, ui_.Print, ui_.FindText, ui_.Quit}) {
      // Left unaccepted, the key goes on to the window's shortcut.
      if (action->shortcut() == pressed) return true;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void HistoryWindow::ReadSettings() {
  QSettings settings(kSettingsOrganization, kSettingsApplication);
  const QByteArray geometry = settings.value(QStringLiteral("window/geometry")).toByteArray();
  if (!geometry.isEmpty()) restoreGeometry(geometry);
  const QByteArray splitter = settings.value(QStringLiteral("window/splitter")).toByteArray();
  if (!splitter.isEmpty()) ui_.Splitter->restoreState(splitter);
  ui_.ShowChart->setChecked(settings.value(QStringLiteral("window/chart"), true).toBool());
  // One folder served both before: it is where each starts.
  const QString shared = settings.value(QStringLiteral("files/lastFolder")).toString();
  importFolder_ = settings.value(QStringLiteral("files/importFolder"), shared).toString();
  exportFolder_ = settings.value(QStringLiteral("files/exportFolder"), shared).toString();
  lastExportFilter_ = settings.value(QStringLiteral("files/exportFilter")).toString();
}

void HistoryWindow::WriteSettings() const {
  QSettings settings(kSettingsOrganization, kSettingsApplication);
  settings.setValue(QStringLiteral("window/geometry"), saveGeometry());
  settings.setValue(QStringLiteral("window/splitter"), ui_.Splitter->saveState());
  settings.setValue(QStringLiteral("window/chart"), ui_.ShowChart->isChecked());
  settings.setValue(QStringLiteral("files/importFolder"), importFolder_);
  settings.setValue(QStringLiteral("files/exportFolder"), exportFolder_);
  settings.setValue(QStringLiteral("files/exportFilter"), lastExportFilter_);
}

void HistoryWindow::RememberFolder(QString& folder, const QString& path) {
  folder = QFileInfo(path).absolutePath();
  // Kept at once: a window that does not close cleanly still remembers it.
  QSettings settings(kSettingsOrganization, kSettingsApplication);
  settings.setValue(QStringLiteral("files/importFolder"), importFolder_);
  settings.setValue(QStringLiteral("files/exportFolder"), exportFolder_);
}

void HistoryWindow::closeEvent(QCloseEvent* event) {
  WriteSettings();
  event->accept();
}

}  // namespace torv
