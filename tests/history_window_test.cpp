// The history window offscreen over a real SQLite store in a temporary
// folder, its boxes and dialogs answered by a scripted fake.
#include "history_ui/history_window.h"
#include "history/calendar_period.h"
#include "history_report/listed_event.h"
#include "history_report/statistics_formats.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QSettings>
#include <QSignalSpy>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <QDateTime>

#include "fake_history_prompts.h"
#include "history/archive_copy.h"
#include "history_report/history_pdf.h"
#include "history_report/history_summaries.h"
#include "history_test_support.h"
#include "history_window_support.h"
#include "pdf_reading.h"

namespace torv {
namespace {

using history::testing::Backend;
using history::testing::TestStore;
using torv::testing::FakeHistoryPrompts;
using torv::testing::ListingRows;
using torv::testing::QFiles;
using torv::testing::Rows;
using torv::testing::ShownRows;
using torv::testing::TempFolder;
using torv::testing::WriteCopies;

// What importing `files` into a fresh store shows in the window, file by
// file, and its totals.
struct ExpectedImport {
  QStringList lines;
  QString totals;
};
ExpectedImport ExpectedImportLines(const std::vector<std::string>& files) {
  TestStore reference(Backend::kSqlite);
  auto store = reference.Open();
  ExpectedImport expected;
  ImportTotals totals;
  for (const std::string& file : files) {
    Result<history::ImportOutcome> outcome =
        history::ImportArchiveFile(*store, "3", file, std::nullopt);
    EXPECT_TRUE(outcome.ok());
    expected.lines.push_back(
        QString::fromStdString(ImportLine(file, *outcome, ImportWording::kWindow)));
    ++totals.files;
    totals.Add(*outcome);
  }
  expected.totals = QString::fromStdString(ImportTotalsLine(totals, ImportWording::kWindow));
  return expected;
}

class HistoryWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString((folder_.path() / "config").string()));
    QSettings(QStringLiteral("torvdoc"), QStringLiteral("torvdoc-history")).clear();
  }

  std::unique_ptr<HistoryWindow> ShowWindow() {
    auto window = std::make_unique<HistoryWindow>(prompts_);
    window->show();
    // On a real display under load the window manager may take its time.
    EXPECT_TRUE(QTest::qWaitForWindowActive(window.get(), 30000));
    window->OpenStore(test_.location());
    return window;
  }

  // A store of two devices: "3" with a gap, and "Склад, ТОРВ-4 №2".
  void FillStore() {
    auto store = test_.Open();
    ASSERT_TRUE(store);
    history::SimulationOptions options;
    options.seed = 41;
    options.startUnixSeconds = 1735200000;  // 26 December 2024
    options.maxStepSeconds = 1200;
    history::SimulatedDevice three(options);
    for (const int written : {500, 1300, 300}) {
      three.Write(written);
      ASSERT_TRUE(store->Import("3", three.CopyNow()).ok());
    }
    options.seed = 42;
    history::SimulatedDevice warehouse(options);
    warehouse.Write(700);
    ASSERT_TRUE(store->Import("Склад, ТОРВ-4 №2", warehouse.CopyNow()).ok());
    ASSERT_TRUE(store
                    ->SetNames({{"3", history::NumberKind::kInput, 7, "Дверь склада"},
                                {"3", history::NumberKind::kRelay, 2, "Сирена"}})
                    .ok());
    lastDay_ = three.Now();
  }

  TempFolder folder_;
  TestStore test_{Backend::kSqlite};
  FakeHistoryPrompts prompts_;
  history::CopyTime lastDay_;
};

TEST_F(HistoryWindowTest, ImportThroughTheWindowReportsEachFileAndFillsTheTable) {
  history::SimulationOptions options;
  options.seed = 5;
  history::SimulatedDevice device(options);
  const std::vector<std::string> files = WriteCopies(folder_, device, {300, 1500, 200}, "copy");
  const ExpectedImport imported = ExpectedImportLines(files);
  const QStringList expected = imported.lines + QStringList{imported.totals};
  auto window = ShowWindow();
  EXPECT_EQ(window->Ui().StoreLabel->text(),
            QStringLiteral("Хранилище: ") + QString::fromStdString(test_.location().shown) +
                QStringLiteral(" (будет создано при первом импорте)"));
  EXPECT_TRUE(prompts_.boxes.empty());

  // Nothing stored yet: nothing to export or print, and no file written.
  window->ExportListing();
  window->PrintListing();
  ASSERT_EQ(prompts_.boxes.size(), 2u);
  EXPECT_EQ(prompts_.boxes[0].title, QStringLiteral("Экспорт"));
  EXPECT_EQ(prompts_.boxes[1].title, QStringLiteral("Печать"));
  EXPECT_EQ(prompts_.boxes[1].text, QStringLiteral("В хранилище ещё нет событий."));
  EXPECT_TRUE(prompts_.exportRequests.empty());
  EXPECT_EQ(prompts_.printDialogs, 0);
  EXPECT_FALSE(std::filesystem::exists(test_.location().target));
  prompts_.boxes.clear();

  prompts_.importAnswers.push_back(ImportRequest{QFiles(files), QStringLiteral("3")});
  QTest::keyClick(window.get(), Qt::Key_O, Qt::ControlModifier);
  ASSERT_EQ(prompts_.importChoices.size(), 1u);
  EXPECT_TRUE(prompts_.importChoices[0].devices.isEmpty());
  ASSERT_EQ(prompts_.importResults.size(), 1u);
  EXPECT_EQ(prompts_.importResults[0], expected);
  EXPECT_TRUE(expected[1].contains(QStringLiteral("; пропуск перед копией: между копиями")));
  EXPECT_EQ(prompts_.progressFiles, QFiles(files));
  EXPECT_EQ(prompts_.progressFinishes, 1);
  ASSERT_EQ(prompts_.boxes.size(), 1u);
  EXPECT_FALSE(prompts_.boxes[0].warning);

  history::HistoryStore* store = window->Session().Reader();
  ASSERT_NE(store, nullptr);
  EXPECT_EQ(ShownRows(window->Events()), ListingRows(*store, {}));
  Result<std::int64_t> count = store->Count({});
  ASSERT_TRUE(count.ok());
  EXPECT_EQ(window->Ui().CountLabel->text(),
            QStringLiteral("Событий: %1, пропусков: 1").arg(*count));
  const QTreeWidget* devices = window->Ui().Devices;
  ASSERT_EQ(devices->topLevelItemCount(), 2);
  EXPECT_EQ(devices->topLevelItem(0)->text(0), QStringLiteral("Все устройства"));
  EXPECT_EQ(devices->topLevelItem(1)->text(0), QStringLiteral("3"));
  EXPECT_EQ(devices->topLevelItem(1)->text(1), QString::number(*count));
  EXPECT_EQ(devices->topLevelItem(1)->text(2), QStringLiteral("3"));
  EXPECT_EQ(devices->topLevelItem(1)->text(3), QStringLiteral("1"));
  EXPECT_EQ(window->Ui().StoreLabel->text(),
            QStringLiteral("Хранилище: ") + QString::fromStdString(test_.location().shown));
  // The gap row spans the table from the date on.
  const std::vector<int> gaps = window->Events().GapRows();
  ASSERT_EQ(gaps.size(), 1u);
  EXPECT_EQ(window->Ui().Table->columnSpan(gaps[0], HistoryEventModel::kDate), 5);
  EXPECT_EQ(window->Events().data(window->Events().index(gaps[0], 1)).toString(),
            QStringLiteral("нет записей с 05.01.2024 21:08:41 по 15.01.2024 17:06:08 (между "
                           "копиями copy1.dat и copy2.dat)"));

  // A click on an event shows the copy it came from; on the gap row, none.
  Result<std::vector<history::KeptCopy>> copies = store->Copies(std::nullopt);
  ASSERT_TRUE(copies.ok());
  ASSERT_EQ(copies->size(), 3u);
  const auto click = [&](int row) {
    const QModelIndex index = window->Events().index(row, HistoryEventModel::kDevice);
    window->Ui().Table->scrollTo(index);
    QTest::mouseClick(window->Ui().Table->viewport(), Qt::LeftButton, {},
                      window->Ui().Table->visualRect(index).center());
    return window->Ui().CopyLabel->text();
  };
  EXPECT_EQ(click(gaps[0] + 1),
            QStringLiteral("копия 2: copy2.dat, снята ") +
                QDateTime::fromSecsSinceEpoch((*copies)[1].copiedAt).toString("dd.MM.yyyy HH:mm"));
  EXPECT_EQ(click(gaps[0]), QString());
  EXPECT_EQ(click(0).left(18), QStringLiteral("копия 1: copy1.dat"));

  // The device list: damaged events, the first and the last.
  Result<std::vector<history::DeviceSummary>> summaries = store->Devices();
  ASSERT_TRUE(summaries.ok() && summaries->size() == 1u);
  const history::DeviceSummary& summary = summaries->front();
  EXPECT_EQ(devices->topLevelItem(1)->text(4), QString::number(summary.damaged));
  EXPECT_GT(summary.damaged, 0);
  EXPECT_EQ(devices->topLevelItem(1)->text(5),
            QString::fromStdString(DateTimeText(*summary.firstDated)));
  EXPECT_EQ(devices->topLevelItem(0)->text(6),
            QString::fromStdString(DateTimeText(*summary.lastDated)));
  EXPECT_EQ(devices->topLevelItem(1)->text(7),
            QDateTime::fromSecsSinceEpoch(*summary.lastImportUnixSeconds)
                .toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")));

  // The device column shows while every device is listed, not for one.
  EXPECT_FALSE(window->Ui().Table->isColumnHidden(HistoryEventModel::kDevice));
  window->Ui().Devices->setCurrentItem(devices->topLevelItem(1));
  EXPECT_TRUE(window->Ui().Table->isColumnHidden(HistoryEventModel::kDevice));

  // Dates inside the hole: no row, and the count says where the hole is.
  window->Ui().Period->setCurrentIndex(static_cast<int>(PeriodChoice::kDates));
  window->Ui().From->setDate(QDate(2024, 1, 8));
  window->Ui().To->setDate(QDate(2024, 1, 9));
  EXPECT_EQ(window->Events().rowCount(), 0);
  // Above the table, what the listing covers.
  const QString coverage = window->Ui().CoverageLabel->text();
  EXPECT_TRUE(coverage.startsWith(QStringLiteral(
      "Охват 3: хранятся события с 31.12.2023 00:13:20 по 09.02.2024 02:45:19; копий 0; "
      "последний импорт ")))
      << coverage.toStdString();
  EXPECT_TRUE(coverage.endsWith(
      QStringLiteral("; пропусков в периоде 1; событий 0, некорректных 0, без даты 0")));
  EXPECT_EQ(window->Ui().CountLabel->text(),
            QStringLiteral("Событий: 0 — за период записей нет: пропуск с 05.01.2024 "
                           "21:08:41 по 15.01.2024 17:06:08"));
}

TEST_F(HistoryWindowTest, CancellingStopsAfterTheCurrentCopyAndKeepsWhatWasImported) {
  history::SimulationOptions options;
  options.seed = 6;
  history::SimulatedDevice device(options);
  const std::vector<std::string> files = WriteCopies(folder_, device, {200, 300, 400, 100}, "c");
  auto window = ShowWindow();
  prompts_.cancelAtDone = 2;
  prompts_.importAnswers.push_back(ImportRequest{QFiles(files), QStringLiteral("3")});
  window->ImportCopies();
  const ExpectedImport imported = ExpectedImportLines({files[0], files[1]});
  QStringList expected = imported.lines;
  expected.push_back(QStringLiteral("Импорт прерван: не импортировано файлов: 2 из 4."));
  expected.push_back(imported.totals);
  ASSERT_EQ(prompts_.importResults.size(), 1u);
  EXPECT_EQ(prompts_.importResults[0], expected);
  EXPECT_EQ(prompts_.progressFinishes, 1);

  TestStore reference(Backend::kSqlite);
  auto referenceStore = reference.Open();
  for (int i = 0; i < 2; ++i) {
    ASSERT_TRUE(history::ImportArchiveFile(*referenceStore, "3", files[static_cast<std::size_t>(i)],
                                           std::nullopt)
                    .ok());
  }
  EXPECT_EQ(ShownRows(window->Events()), ListingRows(*referenceStore, {}));
}

TEST_F(HistoryWindowTest, AFailingFileIsReportedAndTheOthersAreImported) {
  history::SimulationOptions options;
  options.seed = 8;
  history::SimulatedDevice device(options);
  std::vector<std::string> files = WriteCopies(folder_, device, {200, 300}, "f");
  // WriteOffset 0x07070707 lies outside the ring.
  const std::string broken = folder_.Write("broken.dat", std::vector<std::uint8_t>(8196, 7));
  files.insert(files.begin() + 1, broken);
  auto window = ShowWindow();
  prompts_.importAnswers.push_back(ImportRequest{QFiles(files), QStringLiteral(" 3 ")});
  window->ImportCopies();
  ASSERT_EQ(prompts_.importResults.size(), 1u);
  const QStringList& lines = prompts_.importResults[0];
  ASSERT_EQ(lines.size(), 4);
  EXPECT_EQ(lines[1], QString::fromStdString(broken) + QStringLiteral(": Архив поврежден"));
  EXPECT_EQ(lines[0], ExpectedImportLines({files[0]}).lines[0]);
  EXPECT_TRUE(lines[3].startsWith(QStringLiteral("Файлов: 3; ")) &&
              lines[3].endsWith(QStringLiteral(", не принято: 1")))
      << lines[3].toStdString();
  ASSERT_EQ(prompts_.boxes.size(), 1u);
  EXPECT_TRUE(prompts_.boxes[0].warning);
  EXPECT_EQ(window->Ui().Devices->topLevelItem(1)->text(0), QStringLiteral("3"));
  EXPECT_EQ(window->Ui().Devices->topLevelItem(1)->text(2), QStringLiteral("2"));

  // A device name of spaces only imports nothing.
  prompts_.importAnswers.push_back(ImportRequest{QFiles({files[0]}), QStringLiteral("  ")});
  window->ImportCopies();
  ASSERT_EQ(prompts_.boxes.size(), 2u);
  EXPECT_EQ(prompts_.boxes[1].text,
            QStringLiteral("Не указано устройство: копии не импортированы."));
  EXPECT_EQ(window->Ui().Devices->topLevelItemCount(), 2);
}

// An import by another program shows in the open window without a click:
// the counts, the device list and the table, which stays where it was; F5
// reads the store again at once.
TEST_F(HistoryWindowTest, AChangeOfTheStoreByAnotherProgramShows) {
  FillStore();
  auto window = ShowWindow();
  const QString before = window->Ui().CountLabel->text();
  QApplication::processEvents();
  window->Ui().Table->verticalScrollBar()->setValue(400);
  const int scrolled = window->Ui().Table->verticalScrollBar()->value();
  ASSERT_GT(scrolled, 0);
  window->RefreshWhenStoreChanged();  // nothing changed: nothing read
  EXPECT_EQ(window->Ui().Table->verticalScrollBar()->value(), scrolled);

  history::SimulationOptions options;
  options.seed = 43;
  history::SimulatedDevice other(options);
  other.Write(50);
  ASSERT_TRUE(test_.Open()->Import("пост", other.CopyNow()).ok());
  EXPECT_EQ(window->Ui().CountLabel->text(), before);
  window->RefreshWhenStoreChanged();
  EXPECT_EQ(window->Ui().Devices->topLevelItemCount(), 4);
  EXPECT_NE(window->Ui().CountLabel->text(), before);
  EXPECT_EQ(window->Ui().Table->verticalScrollBar()->value(), scrolled);

  ASSERT_TRUE(test_.Open()->RemoveDevice("пост", "").ok());
  QTest::keyClick(window.get(), Qt::Key_F5);
  EXPECT_EQ(window->Ui().Devices->topLevelItemCount(), 3);
  EXPECT_EQ(window->Ui().CountLabel->text(), before);
}

TEST_F(HistoryWindowTest, AMistypedDeviceIsRefusedNamingTheStoredOne) {
  history::SimulationOptions options;
  options.seed = 9;
  history::SimulatedDevice device(options);
  const std::vector<std::string> files = WriteCopies(folder_, device, {200, 100}, "m");
  auto window = ShowWindow();
  prompts_.importAnswers.push_back(ImportRequest{QFiles({files[0]}), QStringLiteral("Склад 2")});
  window->ImportCopies();
  ASSERT_EQ(prompts_.importResults.size(), 1u);
  const int devices = window->Ui().Devices->topLevelItemCount();

  prompts_.importAnswers.push_back(ImportRequest{QFiles({files[1]}), QStringLiteral("склад2")});
  window->ImportCopies();
  EXPECT_EQ(prompts_.importResults.size(), 1u);
  ASSERT_FALSE(prompts_.boxes.empty());
  EXPECT_EQ(prompts_.boxes.back().text,
            QStringLiteral("Устройства «склад2» нет в хранилище, есть «Склад 2»: выберите его в "
                           "списке. Копии не импортированы."));
  EXPECT_EQ(window->Ui().Devices->topLevelItemCount(), devices);
}

TEST_F(HistoryWindowTest, EachFilterShowsWhatTheStoresOwnQueryLists) {
  FillStore();
  auto window = ShowWindow();
  history::HistoryStore& store = *window->Session().Reader();
  const auto expectShown = [&](const history::EventQuery& query, const char* what) {
    SCOPED_TRACE(what);
    const Rows rows = ListingRows(store, query);
    EXPECT_FALSE(rows.empty());
    EXPECT_EQ(ShownRows(window->Events()), rows);
  };
  history::EventQuery query;
  expectShown(query, "everything");

  window->ChooseDevice(QStringLiteral("3"));
  query.devices = {"3"};
  expectShown(query, "device 3");

  const QDate today(lastDay_.year, lastDay_.month, lastDay_.day);
  window->SetTodayForTesting(today);
  const auto dateOf = [](const QDate& d) {
    return history::CalendarDate{d.year(), d.month(), d.day()};
  };
  // Each named period is the command line's --period of the same name.
  window->Ui().Period->setCurrentIndex(static_cast<int>(PeriodChoice::kToday));
  query.from = query.to = dateOf(today);
  expectShown(query, "today");
  EXPECT_FALSE(window->Ui().From->isEnabled());
  for (const auto& [choice, name] : {std::pair{PeriodChoice::kYesterday, "yesterday"},
                                     {PeriodChoice::kThisWeek, "this-week"},
                                     {PeriodChoice::kLastWeek, "last-week"},
                                     {PeriodChoice::kThisMonth, "this-month"},
                                     {PeriodChoice::kLastMonth, "last-month"},
                                     {PeriodChoice::kThisQuarter, "this-quarter"},
                                     {PeriodChoice::kLastQuarter, "last-quarter"},
                                     {PeriodChoice::kThisYear, "this-year"},
                                     {PeriodChoice::kLastYear, "last-year"}}) {
    SCOPED_TRACE(name);
    window->Ui().Period->setCurrentIndex(static_cast<int>(choice));
    const Result<history::CalendarPeriod> period =
        history::ParseCalendarPeriod(name, dateOf(today));
    ASSERT_TRUE(period.ok());
    query.from = period->from;
    query.to = period->to;
    EXPECT_EQ(dateOf(window->Ui().From->date()).Key(), period->from.Key());
    EXPECT_EQ(dateOf(window->Ui().To->date()).Key(), period->to.Key());
    EXPECT_EQ(ShownRows(window->Events()), ListingRows(store, query));
  }
  // Dates of one's own after the whole history start from all of it.
  window->Ui().Period->setCurrentIndex(static_cast<int>(PeriodChoice::kAll));
  window->Ui().Period->setCurrentIndex(static_cast<int>(PeriodChoice::kDates));
  EXPECT_TRUE(window->Ui().From->isEnabled());
  const QTreeWidgetItem* all = window->Ui().Devices->topLevelItem(0);
  EXPECT_EQ(window->Ui().From->date().toString(QStringLiteral("dd.MM.yyyy")),
            all->text(5).left(10));
  EXPECT_EQ(window->Ui().To->date().toString(QStringLiteral("dd.MM.yyyy")), all->text(6).left(10));
  window->Ui().From->setDate(QDate(2024, 12, 30));
  window->Ui().To->setDate(QDate(2025, 1, 2));
  query.from = history::CalendarDate{2024, 12, 30};
  query.to = history::CalendarDate{2025, 1, 2};
  expectShown(query, "from 30.12.2024 to 02.01.2025");

  window->Ui().Period->setCurrentIndex(static_cast<int>(PeriodChoice::kAll));
  query.from.reset();
  query.to.reset();
  window->Ui().Input->setText(QStringLiteral("7"));
  query.input = 7;
  expectShown(query, "input 7");
  EXPECT_EQ(ShownRows(window->Events())[0][5], "Дверь склада");
  window->Ui().Input->setText(QStringLiteral("7, 9-11"));
  query.input.reset();
  query.inputs = {7, 9, 10, 11};
  expectShown(query, "inputs 7, 9-11");
  // Not a list: the field says so and lets every input through.
  window->Ui().Input->setText(QStringLiteral("7-"));
  query.inputs.clear();
  expectShown(query, "not a list");
  EXPECT_FALSE(window->Ui().Input->toolTip().isEmpty());
  window->Ui().Input->clear();
  EXPECT_TRUE(window->Ui().Input->toolTip().isEmpty());

  window->Ui().Types[1]->setChecked(false);  // warning
  window->Ui().Types[2]->setChecked(false);  // normal
  query.kinds = {EventKind::kDevice, EventKind::kRelay, EventKind::kDamaged, EventKind::kOther};
  query.types = {EventType::kAlarm};
  expectShown(query, "alarms and every other kind");
  window->Ui().Types[0]->setChecked(false);
  EXPECT_TRUE(window->Ui().Types[0]->isChecked());
  window->Ui().Kinds[0]->setChecked(false);
  EXPECT_FALSE(window->Ui().Types[0]->isEnabled());
  query.types.clear();
  expectShown(query, "no input events");
  window->Ui().Kinds[0]->setChecked(true);
  for (QCheckBox* type : window->Ui().Types) type->setChecked(true);
  query.kinds.clear();

  window->Ui().Kinds[1]->setChecked(false);  // device
  window->Ui().Kinds[4]->setChecked(false);  // other
  query.kinds = {EventKind::kInput, EventKind::kRelay, EventKind::kDamaged};
  expectShown(query, "inputs, relays and damaged");
  for (int k : {0, 2}) window->Ui().Kinds[static_cast<std::size_t>(k)]->setChecked(false);
  query.kinds = {EventKind::kDamaged};
  expectShown(query, "damaged only");
  // The last kind cannot be taken away: no kind would show nothing.
  window->Ui().Kinds[3]->setChecked(false);
  EXPECT_TRUE(window->Ui().Kinds[3]->isChecked());
  expectShown(query, "damaged still");
  for (QCheckBox* kind : window->Ui().Kinds) kind->setChecked(true);
  query.kinds.clear();

  window->FocusTextFilter();
  torv::testing::TypeText(window->Ui().Text, QStringLiteral("СИРЕНА"));
  query.text = "СИРЕНА";
  expectShown(query, "text");
  EXPECT_EQ(ShownRows(window->Events())[0][4], "реле 2");
  window->Ui().Text->clear();
  query.text.clear();

  window->Ui().NewestFirst->setChecked(true);
  query.newestFirst = true;
  expectShown(query, "newest first");
  const Rows rows = ShownRows(window->Events());
  const auto gap = std::find_if(rows.begin(), rows.end(), [](const std::vector<std::string>& r) {
    return r[2].empty() && r[1].rfind("нет записей", 0) == 0;
  });
  ASSERT_NE(gap, rows.end());

  window->ChooseDevice(std::nullopt);
  query.devices.clear();
  expectShown(query, "every device, newest first");
  EXPECT_TRUE(window->CurrentQuery().devices.empty());
}

// A date typed into the period over a cursor left in the year reads the
// listing once, for that date; a day that does not exist reads nothing.
TEST_F(HistoryWindowTest, ADateTypedIntoThePeriodIsReadOnceAndWhole) {
  FillStore();
  auto window = ShowWindow();
  window->Ui().Period->setCurrentIndex(static_cast<int>(PeriodChoice::kDates));
  DateField* from = window->Ui().From;
  auto* edit = from->findChild<QLineEdit*>();
  QSignalSpy reads(&window->Events(), &QAbstractItemModel::modelReset);
  QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(edit->width() - 4, edit->height() / 2));
  ASSERT_EQ(from->currentSection(), QDateTimeEdit::YearSection);
  QTest::keyClicks(from, "01.03.2026");
  EXPECT_EQ(window->CurrentQuery().from.value_or(history::CalendarDate{}).Key(), 20260301);
  EXPECT_EQ(reads.count(), 1);
  QTest::keyClicks(from, "31.02.2026\r");
  EXPECT_EQ(window->statusBar()->currentMessage(), QStringLiteral("Нет такой даты: 31.02.2026"));
  EXPECT_EQ(reads.count(), 1);
}

TEST_F(HistoryWindowTest, ANameEditedInTheWindowShowsAtOnce) {
  FillStore();
  auto window = ShowWindow();
  window->ChooseDevice(QStringLiteral("3"));
  window->Ui().Input->setText(QStringLiteral("9"));
  const Rows before = ShownRows(window->Events());
  ASSERT_FALSE(before.empty());
  EXPECT_EQ(before[0][5], "");
  // Names of several inputs and relays are stored together.
  prompts_.nameAnswers.push_back(std::vector<history::NameEntry>{
      {"3", history::NumberKind::kInput, 9, "Окно \"Север\", 2 этаж"},
      {"3", history::NumberKind::kRelay, 8, "Сирена"}});
  window->EditNames();
  ASSERT_EQ(prompts_.nameChoices.size(), 1u);
  EXPECT_EQ(prompts_.nameChoices[0].device, QStringLiteral("3"));
  EXPECT_EQ(prompts_.nameChoices[0].devices,
            QStringList({QStringLiteral("3"), QStringLiteral("Склад, ТОРВ-4 №2")}));
  EXPECT_EQ(prompts_.nameChoices[0].names.size(), 2u);
  // Each relay that fired once, whether it switched on or off.
  EXPECT_EQ(prompts_.nameChoices[0].relays.at("3").size(), 32u);
  EXPECT_TRUE(prompts_.boxes.empty());
  const Rows after = ShownRows(window->Events());
  ASSERT_EQ(after.size(), before.size());
  int named = 0;
  for (const auto& row : after) {
    if (row[1].rfind("нет записей", 0) == 0) continue;  // the gap row
    EXPECT_EQ(row[5], "Окно \"Север\", 2 этаж");
    ++named;
  }
  EXPECT_GT(named, 10);
  // The text filter finds the new name at once too.
  window->Ui().Input->clear();
  window->Ui().Text->setText(QStringLiteral("север"));
  EXPECT_EQ(ShownRows(window->Events()), after);

  Result<std::vector<history::NameEntry>> names = window->Session().Reader()->Names();
  ASSERT_TRUE(names.ok());
  EXPECT_EQ(names->size(), 4u);
}

// The statistics tab shows the command line's figures for the filters, and
// with it shown the export writes the statistics.
TEST_F(HistoryWindowTest, TheStatisticsTabShowsAndExportsTheFiltersStatistics) {
  FillStore();
  auto window = ShowWindow();
  window->ChooseDevice(QStringLiteral("3"));
  window->Ui().Views->setCurrentWidget(window->Ui().Statistics);
  window->Ui().Input->setText(QStringLiteral("4,9"));
  history::HistoryStore& store = *window->Session().Reader();
  Result<AlarmStatistics> expected = ComputeAlarmStatistics(store, window->CurrentQuery());
  ASSERT_TRUE(expected.ok());
  EXPECT_EQ(window->Ui().Statistics->Text(), QString::fromStdString(StatisticsText(*expected)));
  EXPECT_NE(window->Ui().Statistics->Text().indexOf(QStringLiteral("Отбор: входы 4, 9")), -1);
  const std::string path = (folder_.path() / "s.json").string();
  prompts_.exportAnswers.push_back(
      FileDialogAnswer{QString::fromStdString(path), QStringLiteral("JSON (*.json)")});
  window->ExportListing();
  ASSERT_EQ(prompts_.exportRequests.size(), 1u);
  EXPECT_EQ(prompts_.exportRequests[0].filters,
            QStringList({QStringLiteral("CSV (*.csv)"), QStringLiteral("JSON (*.json)"),
                         QStringLiteral("PDF (*.pdf)")}));
  EXPECT_TRUE(prompts_.exportRequests[0].startName.endsWith(QStringLiteral("/статистика.csv")));
  EXPECT_EQ(cli_testing::ReadWholeFile(path), StatisticsJson(*expected));
}

// Alarms and warnings stand out in the table as on paper: tinted, alarms
// in bold; every other event row is plain.
TEST_F(HistoryWindowTest, AlarmAndWarningRowsStandOut) {
  FillStore();
  auto window = ShowWindow();
  window->ChooseDevice(QStringLiteral("3"));
  HistoryEventModel& model = window->Events();
  std::map<QString, int> looks;
  for (int row = 0; row < std::min(model.rowCount(), 400); ++row) {
    const QString event = model.index(row, HistoryEventModel::kEvent).data().toString();
    if (event.isEmpty()) continue;  // a gap row
    const QVariant tint = model.index(row, HistoryEventModel::kName).data(Qt::BackgroundRole);
    const bool bold =
        model.index(row, HistoryEventModel::kDate).data(Qt::FontRole).value<QFont>().bold();
    const QString look = (tint.isValid() ? tint.value<QBrush>().color().name() : QString()) +
                         (bold ? QStringLiteral(" bold") : QString());
    const QString expected = event == QStringLiteral("Авар. сигн.") ? QStringLiteral("#f6d5c2 bold")
                             : event == QStringLiteral("Пред. сигн.") ? QStringLiteral("#faebc8")
                                                                      : QString();
    EXPECT_EQ(look, expected) << event.toStdString();
    ++looks[look];
  }
  EXPECT_EQ(looks.size(), 3u);
}

TEST_F(HistoryWindowTest, ExportsEqualTheCommandLinesListingForTheSameFilters) {
  FillStore();
  auto window = ShowWindow();
  window->ChooseDevice(QStringLiteral("3"));
  window->Ui().Kinds[1]->setChecked(false);
  window->Ui().Text->setText(QStringLiteral("сигн"));
  history::EventQuery query;
  query.devices = {"3"};
  query.kinds = {EventKind::kInput, EventKind::kRelay, EventKind::kDamaged, EventKind::kOther};
  query.text = "сигн";
  history::HistoryStore& store = *window->Session().Reader();
  const auto listing = [&](const CsvDialect* dialect) {
    std::string out;
    const auto sink = [&](std::string_view p) { out += p; };
    EXPECT_TRUE((dialect ? WriteCsvList(store, query, *dialect, false, sink)
                         : WriteJsonList(store, query, sink))
                    .ok());
    return out;
  };
  const CsvDialect rfc4180 = Rfc4180Dialect();
  const CsvDialect spreadsheet = ListSpreadsheetDialect();
  const struct {
    int filter;
    const char* file;
    std::string expected;
  } cases[] = {
      {0, "a.csv", listing(&rfc4180)},
      {1, "b.csv", listing(&spreadsheet)},
      {2, "c.json", listing(nullptr)},
  };
  const QStringList filters = {QStringLiteral("CSV (*.csv)"),
                               QStringLiteral("CSV для табличного редактора (*.csv)"),
                               QStringLiteral("JSON (*.json)"), QStringLiteral("PDF (*.pdf)")};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const std::string path = (folder_.path() / c.file).string();
    prompts_.exportAnswers.push_back(
        FileDialogAnswer{QString::fromStdString(path), filters[c.filter]});
    QTest::keyClick(window.get(), Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(cli_testing::ReadWholeFile(path), c.expected);
    EXPECT_GT(c.expected.size(), 200u);
  }
  ASSERT_EQ(prompts_.exportRequests.size(), 3u);
  EXPECT_EQ(prompts_.exportRequests[0].filters, filters);
  // The dialog starts where the last export went, with the filter chosen last.
  EXPECT_EQ(prompts_.exportRequests[2].selectedFilter, filters[1]);
  EXPECT_EQ(prompts_.exportRequests[2].startName,
            QString::fromStdString((folder_.path() / "история.csv").string()));

  const std::string pdf = (folder_.path() / "d.pdf").string();
  prompts_.exportAnswers.push_back(FileDialogAnswer{QString::fromStdString(pdf), filters[3]});
  window->ExportListing();
  const std::string reference = (folder_.path() / "reference.pdf").string();
  ASSERT_TRUE(WriteHistoryPdf(store, query, HeadingFor(query, std::time(nullptr)), reference).ok());
  const auto textWithoutTime = torv::testing::PdfTextWithoutPrintTime;
  const std::string exported = textWithoutTime(pdf);
  EXPECT_EQ(exported, textWithoutTime(reference));
  EXPECT_NE(exported.find("Отбор: события: входы, реле, некорректные, прочие; текст «сигн»"),
            std::string::npos);
  EXPECT_TRUE(prompts_.boxes.empty());

  // The file's own suffix wins over the filter left selected.
  const std::string named = (folder_.path() / "named.pdf").string();
  prompts_.exportAnswers.push_back(FileDialogAnswer{QString::fromStdString(named), filters[0]});
  window->ExportListing();
  EXPECT_EQ(textWithoutTime(named), exported);
  const std::string json = (folder_.path() / "named.JSON").string();
  prompts_.exportAnswers.push_back(FileDialogAnswer{QString::fromStdString(json), filters[1]});
  window->ExportListing();
  EXPECT_EQ(cli_testing::ReadWholeFile(json), cases[2].expected);

  // A file that cannot be written gives a box with the system's reason, and
  // no file.
  const std::string missing = (folder_.path() / "нет" / "e.csv").string();
  prompts_.exportAnswers.push_back(FileDialogAnswer{QString::fromStdString(missing), filters[0]});
  window->ExportListing();
  ASSERT_EQ(prompts_.boxes.size(), 1u);
  EXPECT_EQ(prompts_.boxes[0].text, QStringLiteral("Файл не сохранён: ") +
                                        QString::fromStdString(missing) +
                                        QStringLiteral(": No such file or directory"));
  EXPECT_FALSE(std::filesystem::exists(folder_.path() / "нет"));
}

TEST_F(HistoryWindowTest, AnExportIsNeverWrittenOverTheStoreOrTheFilesBesideIt) {
  FillStore();
  auto window = ShowWindow();
  const std::string store = test_.dbText();
  // The window holds the store open, so SQLite keeps its -wal file beside it.
  ASSERT_TRUE(std::filesystem::exists(store + "-wal"));
  const std::string storeBefore = cli_testing::ReadWholeFile(store);
  const std::string walBefore = cli_testing::ReadWholeFile(store + "-wal");
  const std::string link = (folder_.path() / "история.json").string();
  std::filesystem::create_symlink(store, link);
  const QString filters[] = {QStringLiteral("CSV (*.csv)"), QStringLiteral("JSON (*.json)"),
                             QStringLiteral("PDF (*.pdf)")};
  int box = 0;
  for (const std::string& path : {store, store + "-wal", link}) {
    for (const QString& filter : filters) {
      SCOPED_TRACE(path + " " + filter.toStdString());
      prompts_.exportAnswers.push_back(FileDialogAnswer{QString::fromStdString(path), filter});
      window->ExportListing();
      ASSERT_EQ(prompts_.boxes.size(), static_cast<std::size_t>(++box));
      EXPECT_TRUE(prompts_.boxes.back().warning);
      EXPECT_EQ(prompts_.boxes.back().title, QStringLiteral("Экспорт"));
      EXPECT_EQ(prompts_.boxes.back().text,
                QStringLiteral("Файл не сохранён: ") + QString::fromStdString(path) +
                    QStringLiteral(" — это файл хранилища истории, он не перезаписывается."));
    }
  }
  EXPECT_EQ(cli_testing::ReadWholeFile(store), storeBefore);
  EXPECT_EQ(cli_testing::ReadWholeFile(store + "-wal"), walBefore);
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  // The store still lists every event: nothing was written over it.
  EXPECT_EQ(ShownRows(window->Events()), ListingRows(*test_.Open(), {}));
}

TEST_F(HistoryWindowTest, ARowThatCannotBeReadIsToldInTheCountLine) {
  FillStore();
  auto window = ShowWindow();
  const QString counted = window->Ui().CountLabel->text();
  ASSERT_TRUE(counted.startsWith(QStringLiteral("Событий: "))) << counted.toStdString();
  // Behind the window's back the events go away; the devices and their
  // stretches, which the listing opens with, stay.
  ASSERT_TRUE(test_.Raw()->ExecScript("ALTER TABLE events RENAME TO events_elsewhere").ok());
  window->ApplyFilters();
  EXPECT_EQ(window->Ui().CountLabel->text(), counted);
  HistoryEventModel& events = window->Events();
  ASSERT_GT(events.rowCount(), 0);
  EXPECT_EQ(events.data(events.index(0, HistoryEventModel::kEvent)), QVariant());
  // Told once the table has finished asking, never from inside its asking.
  EXPECT_EQ(window->Ui().CountLabel->text(), counted);
  QApplication::processEvents();
  EXPECT_EQ(window->Ui().CountLabel->text(),
            QStringLiteral("Ошибка чтения: no such table: events"));
  ASSERT_TRUE(events.ReadFailure().has_value());

  // Once the events are back, the next listing reads and counts them again.
  ASSERT_TRUE(test_.Raw()->ExecScript("ALTER TABLE events_elsewhere RENAME TO events").ok());
  window->ApplyFilters();
  QApplication::processEvents();
  EXPECT_EQ(window->Ui().CountLabel->text(), counted);
  EXPECT_FALSE(events.ReadFailure().has_value());
  EXPECT_NE(events.data(events.index(0, HistoryEventModel::kEvent)), QVariant());
}

TEST_F(HistoryWindowTest, PrintingGoesThroughThePrintDialogAndPrintsTheFilteredListing) {
  FillStore();
  auto window = ShowWindow();
  window->ChooseDevice(QStringLiteral("Склад, ТОРВ-4 №2"));
  prompts_.printToFile = QString::fromStdString((folder_.path() / "printed.pdf").string());
  QTest::keyClick(window.get(), Qt::Key_P, Qt::ControlModifier);
  EXPECT_EQ(prompts_.printDialogs, 1);
  EXPECT_FALSE(std::filesystem::exists(prompts_.printToFile.toStdString()));
  prompts_.confirmPrint = true;
  window->PrintListing();
  const std::vector<torv::testing::PdfLine> lines =
      torv::testing::PdfLines(torv::testing::PdfWords(prompts_.printToFile.toStdString()));
  ASSERT_GT(lines.size(), 10u);
  EXPECT_EQ(lines[0].Text(), "История событий ТОРВ-4");
  EXPECT_EQ(lines[1].Text(), "Устройство: Склад, ТОРВ-4 №2");
  const std::string pages =
      torv::testing::PdfInfoField(prompts_.printToFile.toStdString(), "Pages");
  EXPECT_TRUE(lines.back().Text().ends_with(", журнал: запись 5 стр. " + pages + " из " + pages))
      << lines.back().Text();
  EXPECT_TRUE(prompts_.boxes.empty());
}

TEST_F(HistoryWindowTest, AStoreThatCannotBeOpenedGivesABoxAndAnotherCanBeChosen) {
  const std::string bad = folder_.Write("bad.sqlite3", std::vector<std::uint8_t>(4096, 'x'));
  auto window = std::make_unique<HistoryWindow>(prompts_);
  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  window->OpenStoreFrom(bad, {});
  ASSERT_EQ(prompts_.boxes.size(), 1u);
  EXPECT_TRUE(prompts_.boxes[0].warning);
  EXPECT_EQ(prompts_.boxes[0].text,
            QStringLiteral("Хранилище истории не открывается.\n") + QString::fromStdString(bad) +
                QStringLiteral(": is not a history store: file is not a database\n\n"
                               "Выберите другое хранилище: Файл → Хранилище…"));
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->Ui().StoreLabel->text(), QStringLiteral("Хранилище: ") +
                                                 QString::fromStdString(bad) +
                                                 QStringLiteral(" (не открывается)"));
  EXPECT_EQ(window->Events().rowCount(), 0);
  EXPECT_EQ(cli_testing::ReadWholeFile(bad), std::string(4096, 'x'));

  FillStore();
  prompts_.storeAnswers.push_back(QString::fromStdString("sqlite:" + test_.location().target));
  window->Ui().ChooseStore->trigger();
  EXPECT_EQ(prompts_.boxes.size(), 1u);
  EXPECT_EQ(window->Ui().Devices->topLevelItemCount(), 3);
  EXPECT_GT(window->Events().rowCount(), 1000);

  prompts_.storeAnswers.push_back(QStringLiteral("sqlite:"));
  window->ChooseStore();
  ASSERT_EQ(prompts_.boxes.size(), 2u);
  EXPECT_EQ(prompts_.boxes[1].text,
            QStringLiteral("Хранилище не выбрано: the history store's name is empty"));
  // Nothing chosen: the store before stays.
  EXPECT_EQ(window->Ui().Devices->topLevelItemCount(), 3);
}

TEST_F(HistoryWindowTest, SizeSplitterAndLastFolderAreRememberedBetweenRuns) {
  history::SimulationOptions options;
  history::SimulatedDevice device(options);
  const std::vector<std::string> files = WriteCopies(folder_, device, {100}, "r");
  int devicesWidth = 0;
  {
    auto window = ShowWindow();
    window->resize(930, 610);
    window->Ui().Splitter->setSizes({210, 700});
    devicesWidth = window->Ui().Splitter->sizes()[0];
    EXPECT_LT(devicesWidth, 250);
    prompts_.importAnswers.push_back(ImportRequest{QFiles(files), QStringLiteral("1")});
    window->ImportCopies();
    window->close();
  }
  auto again = ShowWindow();
  EXPECT_EQ(again->size(), QSize(930, 610));
  EXPECT_EQ(again->Ui().Splitter->sizes()[0], devicesWidth);
  prompts_.importAnswers.push_back(std::nullopt);
  again->ImportCopies();
  ASSERT_EQ(prompts_.importChoices.size(), 2u);
  EXPECT_EQ(prompts_.importChoices[1].folder, QString::fromStdString(folder_.path().string()));
  EXPECT_EQ(prompts_.importChoices[1].devices, QStringList{QStringLiteral("1")});
}

TEST_F(HistoryWindowTest, KeyboardReachesImportPrintExportAndTheTextFilter) {
  FillStore();
  auto window = ShowWindow();
  window->Ui().Table->setFocus();
  QTest::keyClick(window->Ui().Table, Qt::Key_F, Qt::ControlModifier);
  ASSERT_TRUE(window->Ui().Text->hasFocus());
  // Typed where a person types them: in the text filter (whose line edit
  // has its own Ctrl+E and Ctrl+F) and in the input number's field.
  QWidget* inputField = window->Ui().Input;
  for (QWidget* field : {static_cast<QWidget*>(window->Ui().Text), inputField}) {
    field->setFocus();
    QTest::keyClick(field, Qt::Key_O, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_E, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_P, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(window->Ui().Text->hasFocus());
  }
  EXPECT_EQ(prompts_.importChoices.size(), 2u);
  EXPECT_EQ(prompts_.exportRequests.size(), 2u);
  EXPECT_EQ(prompts_.printDialogs, 2);
  EXPECT_TRUE(prompts_.boxes.empty());
}

}  // namespace
}  // namespace torv
