#include "ui/tform_main.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <ostream>
#include <string>

#include "archive/sample_archive.h"
#include "fake_user_prompts.h"
#include "ui/application_title.h"

namespace torv {
namespace {

using testing::BoxKind;
using testing::FakeUserPrompts;

// The test archive: slot s holds code s % 3 for input s % 32 + 1 at
// 's / 60':'s % 60':07 on day 1 + s / 40 of March. The newest record is in
// slot 99, so the ring wraps from slot 99 back to slot 1023.
constexpr int kNewestSlot = 99;
constexpr int kWriteOffset = (kNewestSlot + 1) * 8;

ArchiveRecord SlotRecord(int slot) {
  return MakeRecord(static_cast<std::uint8_t>(slot % 3), static_cast<std::uint8_t>(slot % 32),
                    static_cast<std::uint8_t>(slot / 60), static_cast<std::uint8_t>(slot % 60), 7,
                    static_cast<std::uint8_t>(1 + slot / 40), 3);
}

std::vector<std::uint8_t> TestArchive() {
  ArchiveBuilder builder;
  for (int slot = 0; slot < 1024; ++slot) builder.SetSlot(slot, SlotRecord(slot));
  return builder.SetWriteOffset(kWriteOffset).Bytes();
}

std::string TwoDigits(int value) {
  char text[8];
  std::snprintf(text, sizeof text, "%02d", value);
  return text;
}

std::string SlotTime(int slot) {
  return TwoDigits(slot / 60) + ":" + TwoDigits(slot % 60) + ":07";
}
std::string SlotDate(int slot) {
  return TwoDigits(1 + slot / 40) + ".03";
}

EventRow ExpectedRow(int slot) {
  static const char* const kEvents[] = {"Норма           ", "Пред. сигн.     ", "Авар. сигн. "};
  return {kEvents[slot % 3], std::to_string(slot % 32 + 1) + "           ", SlotTime(slot),
          SlotDate(slot)};
}

const EventRow kHeaderRow = {"Событие", "Номер входа", " Время", "Дата"};

int SlotBack(int slot, int records) {
  return ((slot - records) % 1024 + 1024) % 1024;
}

class TFormMainTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    window_ = std::make_unique<TForm_main>(state_, prompts_);
    window_->FormCreate();
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
  }

  void TearDown() override {
    window_.reset();
    other_.reset();
  }

  const MainWindowControls& Ui() const { return window_->Ui(); }

  std::string WriteArchive(const std::vector<std::uint8_t>& bytes,
                           const QString& name = QStringLiteral("arch.dat")) {
    const QString path = dir_.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    return path.toStdString();
  }

  // Chooses the test archive as if through the open dialog.
  std::string UseTestArchive() {
    archivePath_ = WriteArchive(TestArchive());
    state_.ArchiveFileName = archivePath_;
    return archivePath_;
  }

  std::string Status(const std::string& tail = {}) const {
    return "Архив: файл " + archivePath_ + tail;
  }

  void ExpectBlock(int firstSlot) const {
    ASSERT_EQ(window_->TableRowCount(), 17);
    EXPECT_EQ(window_->TableRow(0), kHeaderRow);
    for (int row = 1; row <= 16; ++row) {
      EXPECT_EQ(window_->TableRow(row), ExpectedRow(SlotBack(firstSlot, row - 1))) << "row " << row;
    }
    EXPECT_EQ(state_.ShownRowCount, 16);
  }

  QString Label1() const { return Ui().Label1->text(); }
  bool StepButtonsEnabled() const { return Ui().Button5->isEnabled() && Ui().Button6->isEnabled(); }
  QColor Background(const QLineEdit* field) const { return field->palette().color(QPalette::Base); }

  void Click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton); }

  void Focus(QWidget* widget) {
    widget->setFocus(Qt::OtherFocusReason);
    ASSERT_TRUE(widget->hasFocus());
  }

  // Makes another window the active one, as a modal box or another program
  // would; the main window keeps only its focus child.
  void ActivateOtherWindow() {
    if (!other_) {
      other_ = std::make_unique<QWidget>();
      other_->resize(100, 100);
    }
    other_->show();
    other_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(other_.get()));
    ASSERT_FALSE(window_->isActiveWindow());
  }

  void ReactivateWindow() {
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
  }

  // Shows the picker through "Показать с заданной даты" and "Задайте дату"
  // with `date` set beforehand, as the operator's last choice would leave it.
  void OpenPicker(QDate date) {
    {
      const QSignalBlocker blocker(Ui().DateTimePicker2);
      Ui().DateTimePicker2->setDate(date);
    }
    Click(Ui().Button4);
    ASSERT_TRUE(Ui().Button3->isVisible());
    Click(Ui().Button3);
    ASSERT_TRUE(Ui().DateTimePicker2->isVisible());
  }

  std::vector<QString> Boxes() const { return prompts_.BoxTexts(); }

  QTemporaryDir dir_;
  ViewState state_;
  FakeUserPrompts prompts_;
  std::unique_ptr<TForm_main> window_;
  std::unique_ptr<QWidget> other_;
  std::string archivePath_;
  const QString kInputError = QStringLiteral("Ошибка ввода");
  const QString kAppTitle = ApplicationTitle();
};

// --- layout ---

TEST_F(TFormMainTest, WindowHasItsTitleSizeAndStartState) {
  EXPECT_EQ(window_->windowTitle(), QStringLiteral("Документирование архива ТОРВ-4"));
  EXPECT_EQ(window_->size(), QSize(872, 669));
  EXPECT_EQ(Label1(), QStringLiteral("Документирование"));
  EXPECT_EQ(Ui().Label1->pos(), QPoint(8, 32));
  EXPECT_EQ(state_.DeviceIndex, 0);
  EXPECT_EQ(Ui().CBoxUstr->currentText(), QStringLiteral("1"));
  EXPECT_EQ(Ui().DateTimePicker2->date(), QDate::currentDate());
  EXPECT_EQ(kAppTitle, QStringLiteral("tform_main_test"));
}

TEST_F(TFormMainTest, EventTableStartsWithSeventeenEmptyRows) {
  QTableView* grid = Ui().StringGrid1;
  EXPECT_EQ(grid->geometry(), QRect(8, 44, 409, 429));
  EXPECT_EQ(window_->TableRowCount(), 17);
  for (int row = 0; row < 17; ++row) EXPECT_EQ(window_->TableRow(row), EventRow{});
  EXPECT_EQ(grid->columnWidth(0), 110);
  EXPECT_EQ(grid->columnWidth(1), 83);
  EXPECT_EQ(grid->columnWidth(2), 100);
  EXPECT_EQ(grid->columnWidth(3), 106);
  EXPECT_EQ(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
  EXPECT_FALSE(grid->verticalHeader()->isVisible());
  EXPECT_TRUE(grid->horizontalHeader()->isVisible());
  EXPECT_EQ(grid->palette().color(QPalette::Base), QColor(Qt::white));
  EXPECT_TRUE(grid->focusPolicy() & Qt::TabFocus);
}

struct Placed {
  const char* name;
  QRect geometry;
  const char* caption;
  bool visible;
  bool enabled;
};

TEST_F(TFormMainTest, ControlsHaveTheirPositionsCaptionsAndStates) {
  const Placed kButtons[] = {
      {"Button8", {40, 16, 121, 25}, "Последняя запись", true, true},
      {"Button9", {45, 48, 100, 25}, "Начало архива", true, true},
      {"Button6", {48, 80, 89, 25}, "<<  к началу", true, false},
      {"Button5", {136, 80, 97, 25}, " к концу  >>", true, false},
      {"Button4", {8, 112, 177, 25}, "Показать с заданной даты", true, true},
      {"Button3", {8, 136, 105, 25}, "Задайте дату", false, true},
      {"Button7", {192, 112, 113, 25}, "Выбор по № входа", true, true},
      {"But3", {40, 16, 153, 25}, "Просмотр всего архива", false, true},
      {"But1", {8, 48, 225, 25}, "Просмотр блока архива из таблицы", false, true},
      {"But5", {72, 80, 89, 25}, "Печать ", false, true},
      {"But4", {40, 112, 153, 25}, "Сохранить в файле RTF", false, false},
      {"But2", {48, 144, 137, 25}, "открыть файл RTF", false, false},
  };
  for (const Placed& placed : kButtons) {
    SCOPED_TRACE(placed.name);
    auto* button = window_->findChild<QPushButton*>(QString::fromLatin1(placed.name));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->geometry(), placed.geometry);
    EXPECT_EQ(button->text(), QString::fromUtf8(placed.caption));
    EXPECT_EQ(button->isVisible(), placed.visible);
    EXPECT_EQ(button->isEnabled(), placed.enabled);
  }
  EXPECT_TRUE(Ui().Button6->font().bold());
  EXPECT_TRUE(Ui().Button5->font().bold());
  EXPECT_FALSE(Ui().Button8->font().bold());
  EXPECT_EQ(Ui().Button6->toolTip(), QStringLiteral("Назад на 1 блок"));
  EXPECT_EQ(Ui().Button5->toolTip(), QStringLiteral("Вперед на 1 блок"));
  EXPECT_EQ(Ui().Button8->parentWidget(), Ui().GroupBox3);
  EXPECT_EQ(Ui().But1->parentWidget(), Ui().GroupBoxPrint);

  EXPECT_EQ(Ui().GroupBox3->geometry(), QRect(480, 88, 313, 169));
  EXPECT_EQ(Ui().GroupBox3->title(), QStringLiteral("Просмотр файла архива"));
  EXPECT_TRUE(Ui().GroupBox3->font().bold());
  EXPECT_TRUE(Ui().GroupBox3->isVisible());
  EXPECT_EQ(Ui().GroupBoxPrint->geometry(), QRect(480, 264, 241, 177));
  EXPECT_EQ(Ui().GroupBoxPrint->title(), QStringLiteral("Документирование архива"));
  EXPECT_FALSE(Ui().GroupBoxPrint->isVisible());

  EXPECT_EQ(Ui().Edit1->geometry(), QRect(167, 16, 82, 21));
  EXPECT_EQ(Ui().Edit1->text(), QString());
  EXPECT_TRUE(Ui().Edit1->isVisible());
  EXPECT_EQ(Ui().EditNVh->geometry(), QRect(280, 140, 25, 21));
  EXPECT_EQ(Ui().EditNVh->text(), QStringLiteral("1"));
  EXPECT_FALSE(Ui().EditNVh->isVisible());
  EXPECT_EQ(Ui().Label4->pos(), QPoint(222, 140));
  EXPECT_EQ(Ui().Label4->text(), QStringLiteral("№ входа"));
  EXPECT_TRUE(Ui().Label4->font().bold());
  EXPECT_EQ(Ui().Label4->palette().color(QPalette::WindowText), QColor(0, 128, 128));
  EXPECT_FALSE(Ui().Label4->isVisible());
  EXPECT_EQ(Ui().DateTimePicker2->geometry(), QRect(111, 136, 74, 21));
  EXPECT_TRUE(Ui().DateTimePicker2->calendarPopup());
  EXPECT_FALSE(Ui().DateTimePicker2->isVisible());

  EXPECT_EQ(Ui().RichEdit1->geometry(), QRect(8, 480, 457, 121));
  EXPECT_TRUE(Ui().RichEdit1->isReadOnly());
  EXPECT_TRUE(Ui().RichEdit1->isVisible());
  EXPECT_FALSE(Ui().RichEdit1->tabChangesFocus());
  EXPECT_EQ(Ui().RichEdit1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  EXPECT_EQ(Ui().RichEdit1->palette().color(QPalette::Inactive, QPalette::Highlight),
            Ui().RichEdit1->palette().color(QPalette::Active, QPalette::Highlight));
  EXPECT_EQ(Ui().RichEdit2->geometry(), QRect(40, 480, 457, 121));
  EXPECT_TRUE(Ui().RichEdit2->isReadOnly());
  EXPECT_FALSE(Ui().RichEdit2->isVisible());

  EXPECT_EQ(Ui().Label2->pos(), QPoint(480, 48));
  EXPECT_EQ(Ui().Label2->text(), QStringLiteral("Устройство №"));
  EXPECT_FALSE(Ui().Label2->isVisible());
  EXPECT_FALSE(Ui().Label2->isEnabled());
  EXPECT_EQ(Ui().CBoxUstr->pos(), QPoint(568, 48));
  EXPECT_EQ(Ui().CBoxUstr->width(), 57);
  EXPECT_EQ(Ui().CBoxUstr->font().pointSize(), 10);
  EXPECT_EQ(Ui().CBoxUstr->count(), 31);
  EXPECT_EQ(Ui().CBoxUstr->itemText(30), QStringLiteral("31"));
  EXPECT_FALSE(Ui().CBoxUstr->isEditable());
  EXPECT_FALSE(Ui().CBoxUstr->isVisible());
}

TEST_F(TFormMainTest, ActionsSitOnTheMenuAndTheToolBar) {
  EXPECT_EQ(Ui().AOpenFile->text(), QStringLiteral("Задать имя файла архива"));
  EXPECT_EQ(Ui().AOpenFile->toolTip(), QStringLiteral("Задать имя файла архива"));
  EXPECT_EQ(Ui().AOpenFile->shortcut(), QKeySequence(Qt::Key_F3));
  EXPECT_FALSE(Ui().AOpenFile->icon().isNull());
  EXPECT_EQ(Ui().APrint->text(), QStringLiteral("Печать"));
  EXPECT_EQ(Ui().APrint->toolTip(), QStringLiteral("Печать "));
  EXPECT_EQ(Ui().APrint->shortcut(), QKeySequence(Qt::Key_F4));
  EXPECT_FALSE(Ui().APrint->icon().isNull());

  EXPECT_EQ(Ui().N1File->title(), QStringLiteral("Файл"));
  const QList<QAction*> entries = Ui().N1File->actions();
  ASSERT_EQ(entries.size(), 2);
  EXPECT_EQ(entries[0], Ui().AOpenFile);
  EXPECT_EQ(entries[1], Ui().APrint);

  EXPECT_EQ(Ui().ToolBar1->geometry().height(), 29);
  EXPECT_EQ(Ui().ToolBar1->geometry().topLeft(), QPoint(0, 0));
  EXPECT_EQ(Ui().ToolButton7->defaultAction(), Ui().AOpenFile);
  EXPECT_EQ(Ui().ToolButton6->defaultAction(), Ui().APrint);
  EXPECT_EQ(Ui().ToolButton6->toolTip(), QStringLiteral("Документирование архива"));
}

TEST_F(TFormMainTest, TabOrderFollowsTheWindowThenTheGroups) {
  const std::vector<QWidget*> expected = {
      Ui().StringGrid1, Ui().RichEdit1, Ui().Button8,   Ui().Button9, Ui().Edit1,
      Ui().Button6,     Ui().Button5,   Ui().Button4,   Ui().Button3, Ui().DateTimePicker2,
      Ui().Button7,     Ui().EditNVh,   Ui().But1,      Ui().But2,    Ui().But3,
      Ui().But4,        Ui().But5,      Ui().RichEdit2, Ui().CBoxUstr};
  std::vector<QWidget*> seen;
  QWidget* widget = Ui().StringGrid1;
  do {
    if (std::find(expected.begin(), expected.end(), widget) != expected.end() &&
        std::find(seen.begin(), seen.end(), widget) == seen.end()) {
      seen.push_back(widget);
    }
    widget = widget->nextInFocusChain();
  } while (widget != Ui().StringGrid1);
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(Ui().GroupBox3->focusPolicy(), Qt::NoFocus);
  EXPECT_EQ(Ui().GroupBoxPrint->focusPolicy(), Qt::NoFocus);
}

// --- navigation commands ---

TEST_F(TFormMainTest, LastRecordShowsTheNewestBlock) {
  UseTestArchive();
  Click(Ui().Button8);
  EXPECT_TRUE(Boxes().empty());
  ExpectBlock(kNewestSlot);
  EXPECT_EQ(Label1().toStdString(), Status());
  EXPECT_EQ(Ui().Edit1->text().toStdString(), SlotTime(kNewestSlot) + " " + SlotDate(kNewestSlot));
  EXPECT_EQ(Ui().Edit1->cursorPosition(), 0);
  EXPECT_TRUE(StepButtonsEnabled());
  EXPECT_EQ(state_.BlocksBack, 1);
}

TEST_F(TFormMainTest, ArchiveStartShowsTheOldestBlock) {
  UseTestArchive();
  Click(Ui().Button9);
  ExpectBlock(kNewestSlot + 16);  // WriteOffset + 120 bytes
  EXPECT_EQ(Label1().toStdString(), Status());
  EXPECT_TRUE(StepButtonsEnabled());
  EXPECT_EQ(state_.BlocksBack, 64);
}

TEST_F(TFormMainTest, StepButtonsStartDisabledAndWalkTheRing) {
  UseTestArchive();
  EXPECT_FALSE(Ui().Button5->isEnabled());
  EXPECT_FALSE(Ui().Button6->isEnabled());
  Click(Ui().Button8);
  Click(Ui().Button6);
  ExpectBlock(kNewestSlot - 16);
  EXPECT_EQ(Label1().toStdString(),
            Status("  время: " + SlotTime(kNewestSlot - 16) + " " + SlotDate(kNewestSlot - 16)));
  Click(Ui().Button6);
  Click(Ui().Button6);
  ExpectBlock(kNewestSlot - 48);
  Click(Ui().Button5);
  ExpectBlock(kNewestSlot - 32);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(TFormMainTest, StepForwardFromTheNewestBlockShowsTheOldest) {
  UseTestArchive();
  Click(Ui().Button8);
  Click(Ui().Button5);
  ExpectBlock(kNewestSlot + 16);
  EXPECT_EQ(Label1().toStdString(),
            Status("  время: " + SlotTime(kNewestSlot + 16) + " " + SlotDate(kNewestSlot + 16)));
}

TEST_F(TFormMainTest, StepBackFromTheOldestBlockShowsTheNewest) {
  UseTestArchive();
  Click(Ui().Button9);
  Click(Ui().Button6);
  ExpectBlock(kNewestSlot);
}

TEST_F(TFormMainTest, ViewWithoutArchiveNameLeavesTheTable) {
  Click(Ui().Button8);
  ASSERT_EQ(prompts_.boxes.size(), 1u);
  EXPECT_EQ(prompts_.boxes[0].kind, BoxKind::kInformation);
  EXPECT_EQ(prompts_.boxes[0].title, kAppTitle);
  EXPECT_EQ(prompts_.boxes[0].text, QStringLiteral("Не задано имя файла архива"));
  EXPECT_EQ(window_->TableRowCount(), 17);
  EXPECT_EQ(window_->TableRow(0), EventRow{});
  EXPECT_EQ(Label1(), QStringLiteral("Документирование"));
  EXPECT_FALSE(StepButtonsEnabled());
}

TEST_F(TFormMainTest, PrintActionOnlyShowsTheDocumentingGroup) {
  QTest::keyClick(window_.get(), Qt::Key_F4);
  EXPECT_TRUE(Ui().GroupBoxPrint->isVisible());
  EXPECT_TRUE(Ui().But1->isVisible());
  EXPECT_FALSE(Ui().But4->isVisible());
  EXPECT_FALSE(Ui().But2->isVisible());
  EXPECT_EQ(prompts_.printDialogs, 0);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(TFormMainTest, PrintToolButtonShowsTheDocumentingGroup) {
  Click(Ui().ToolButton6);
  EXPECT_TRUE(Ui().GroupBoxPrint->isVisible());
}

TEST_F(TFormMainTest, ReportTableReadsStatusAndRows) {
  UseTestArchive();
  Click(Ui().Button8);
  EXPECT_EQ(window_->StatusText(), Status());
  EXPECT_EQ(window_->TableRow(1), ExpectedRow(kNewestSlot));
  EXPECT_EQ(window_->TableRow(17), EventRow{});
}

// --- input-number fields ---

TEST_F(TFormMainTest, InputChoiceFocusesTheFieldAndDisablesSteps) {
  UseTestArchive();
  Click(Ui().Button8);
  Click(Ui().Button7);
  EXPECT_TRUE(Ui().Label4->isVisible());
  EXPECT_TRUE(Ui().EditNVh->isVisible());
  EXPECT_TRUE(Ui().EditNVh->hasFocus());
  EXPECT_EQ(Ui().EditNVh->selectedText(), QStringLiteral("1"));
  EXPECT_FALSE(Ui().Button5->isEnabled());
  EXPECT_FALSE(Ui().Button6->isEnabled());
}

TEST_F(TFormMainTest, SevenAndEnterShowsTheInputView) {
  UseTestArchive();
  Click(Ui().Button7);
  QTest::keyClick(Ui().EditNVh, Qt::Key_7);
  EXPECT_EQ(Ui().EditNVh->text(), QStringLiteral("7"));
  QTest::keyClick(Ui().EditNVh, Qt::Key_Return);
  EXPECT_TRUE(Boxes().empty());
  EXPECT_TRUE(Ui().StringGrid1->hasFocus());
  EXPECT_FALSE(Ui().EditNVh->isVisible());
  EXPECT_FALSE(Ui().Label4->isVisible());
  EXPECT_EQ(state_.InputNumber, 7);
  EXPECT_EQ(Label1().toStdString(), Status(" вход № 7"));
  // Input 7 is slot 6 and every 32nd slot after it, newest first.
  ASSERT_EQ(window_->TableRowCount(), 33);
  EXPECT_EQ(state_.ShownRowCount, 32);
  EXPECT_EQ(window_->TableRow(1), ExpectedRow(70));
  EXPECT_EQ(window_->TableRow(2), ExpectedRow(38));
  EXPECT_EQ(window_->TableRow(4), ExpectedRow(1023 - 25));
  EXPECT_EQ(window_->TableRow(32), ExpectedRow(102));
  EXPECT_FALSE(StepButtonsEnabled());
}

TEST_F(TFormMainTest, LeadingZeroIsAccepted) {
  UseTestArchive();
  Click(Ui().Button7);
  QTest::keyClicks(Ui().EditNVh, QStringLiteral("05"));
  QTest::keyClick(Ui().EditNVh, Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(state_.InputNumber, 5);
  EXPECT_EQ(Label1().toStdString(), Status(" вход № 5"));
}

TEST_F(TFormMainTest, TypingStopsAtTwoCharacters) {
  Focus(Ui().Edit1);
  QTest::keyClicks(Ui().Edit1, QStringLiteral("123"));
  EXPECT_EQ(Ui().Edit1->text(), QStringLiteral("12"));
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(TFormMainTest, EditingKeysPassWithoutFeedback) {
  Focus(Ui().Edit1);
  QTest::keyClicks(Ui().Edit1, QStringLiteral("12"));
  QTest::keyClick(Ui().Edit1, Qt::Key_Left);
  QTest::keyClick(Ui().Edit1, Qt::Key_Delete);
  EXPECT_EQ(Ui().Edit1->text(), QStringLiteral("1"));
  QTest::keyClick(Ui().Edit1, Qt::Key_Right);
  QTest::keyClick(Ui().Edit1, Qt::Key_Backspace);
  EXPECT_EQ(Ui().Edit1->text(), QString());
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(prompts_.beeps, 0);
  EXPECT_TRUE(Ui().Edit1->hasFocus());
}

TEST_F(TFormMainTest, OutOfRangeNumbersGiveOneFeedback) {
  for (const QString& text : {QStringLiteral("0"), QStringLiteral("00"), QStringLiteral("33")}) {
    SCOPED_TRACE(text.toStdString());
    prompts_.boxes.clear();
    prompts_.beeps = 0;
    Click(Ui().Button7);
    QTest::keyClicks(Ui().EditNVh, text);
    Focus(Ui().StringGrid1);
    ASSERT_EQ(prompts_.boxes.size(), 1u);
    EXPECT_EQ(prompts_.boxes[0].kind, BoxKind::kInformation);
    EXPECT_EQ(prompts_.boxes[0].title, kAppTitle);
    EXPECT_EQ(prompts_.boxes[0].text, kInputError);
    EXPECT_EQ(prompts_.beeps, 1);
    EXPECT_EQ(Ui().EditNVh->text(), QStringLiteral("00"));
    EXPECT_TRUE(Ui().EditNVh->isVisible());
    EXPECT_EQ(state_.InputFilterPending, 0);
  }
}

TEST_F(TFormMainTest, FeedbackIsRedWhileTheBoxIsOpenThenTooltipColour) {
  QColor duringBox;
  prompts_.whileBoxOpen = [&](const testing::BoxRecord&) { duringBox = Background(Ui().EditNVh); };
  Click(Ui().Button7);
  QTest::keyClicks(Ui().EditNVh, QStringLiteral("40"));
  Focus(Ui().StringGrid1);
  EXPECT_EQ(duringBox, QColor(255, 0, 0));
  EXPECT_EQ(Background(Ui().EditNVh), QApplication::palette().color(QPalette::ToolTipBase));
}

TEST_F(TFormMainTest, TooltipColourStaysAfterAnAcceptedNumber) {
  UseTestArchive();
  Click(Ui().Button7);
  QTest::keyClicks(Ui().EditNVh, QStringLiteral("40"));
  Focus(Ui().StringGrid1);
  Click(Ui().Button7);
  QTest::keyClick(Ui().EditNVh, Qt::Key_3);
  QTest::keyClick(Ui().EditNVh, Qt::Key_Return);
  EXPECT_EQ(state_.InputNumber, 3);
  EXPECT_EQ(Background(Ui().EditNVh), QApplication::palette().color(QPalette::ToolTipBase));
}

TEST_F(TFormMainTest, EmptyFieldAndEnterGivesFeedbackTwice) {
  Click(Ui().Button7);
  QTest::keyClick(Ui().EditNVh, Qt::Key_Backspace);
  ASSERT_EQ(Ui().EditNVh->text(), QString());
  QTest::keyClick(Ui().EditNVh, Qt::Key_Return);
  EXPECT_EQ(Boxes(), (std::vector<QString>{kInputError, kInputError}));
  EXPECT_EQ(prompts_.beeps, 2);
  EXPECT_EQ(Ui().EditNVh->text(), QStringLiteral("00"));
  EXPECT_TRUE(Ui().StringGrid1->hasFocus());
  EXPECT_EQ(state_.InputFilterPending, 0);
  EXPECT_EQ(state_.InputNumber, 0);
}

TEST_F(TFormMainTest, EmptyFieldLeftWithTheMouseGivesFeedbackTwice) {
  Click(Ui().Button7);
  QTest::keyClick(Ui().EditNVh, Qt::Key_Delete);
  ASSERT_EQ(Ui().EditNVh->text(), QString());
  Click(Ui().Button4);
  EXPECT_EQ(Boxes(), (std::vector<QString>{kInputError, kInputError}));
  EXPECT_EQ(prompts_.beeps, 2);
  EXPECT_EQ(Ui().EditNVh->text(), QStringLiteral("00"));
  // The button's own command follows.
  EXPECT_TRUE(Ui().Button3->isVisible());
}

struct RejectedKey {
  const char* label;
  Qt::Key key;
  Qt::KeyboardModifiers modifiers;
};

void PrintTo(const RejectedKey& key, std::ostream* out) {
  *out << key.label;
}

class RejectedKeyTest : public TFormMainTest, public ::testing::WithParamInterface<RejectedKey> {};

TEST_P(RejectedKeyTest, GivesFeedbackTwiceInEitherField) {
  for (QLineEdit* field : {Ui().EditNVh, Ui().Edit1}) {
    SCOPED_TRACE(field->objectName().toStdString());
    prompts_.boxes.clear();
    prompts_.beeps = 0;
    if (field == Ui().EditNVh) {
      Click(Ui().Button7);
    } else {
      Focus(field);
      field->setText(QStringLiteral("5"));
    }
    QTest::keyClick(field, GetParam().key, GetParam().modifiers);
    EXPECT_EQ(Boxes(), (std::vector<QString>{kInputError, kInputError}));
    EXPECT_EQ(prompts_.beeps, 2);
    EXPECT_EQ(field->text(), QStringLiteral("00"));
    EXPECT_TRUE(Ui().StringGrid1->hasFocus());
    EXPECT_EQ(state_.InputFilterPending, 0);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Keys, RejectedKeyTest,
    ::testing::Values(RejectedKey{"Letter", Qt::Key_A, Qt::NoModifier},
                      RejectedKey{"KeypadDigit", Qt::Key_5, Qt::KeypadModifier},
                      RejectedKey{"ShiftAlone", Qt::Key_Shift, Qt::NoModifier},
                      RejectedKey{"ControlAlone", Qt::Key_Control, Qt::NoModifier},
                      RejectedKey{"Up", Qt::Key_Up, Qt::NoModifier},
                      RejectedKey{"Down", Qt::Key_Down, Qt::NoModifier},
                      RejectedKey{"Home", Qt::Key_Home, Qt::NoModifier},
                      RejectedKey{"End", Qt::Key_End, Qt::NoModifier},
                      RejectedKey{"Escape", Qt::Key_Escape, Qt::NoModifier},
                      RejectedKey{"Space", Qt::Key_Space, Qt::NoModifier}),
    [](const ::testing::TestParamInfo<RejectedKey>& info) {
      return std::string(info.param.label);
    });

TEST_F(TFormMainTest, TabIsNotRejectedAndRunsTheExitCheck) {
  UseTestArchive();
  Click(Ui().Button7);
  QTest::keyClick(Ui().EditNVh, Qt::Key_4);
  QTest::keyClick(Ui().EditNVh, Qt::Key_Tab);
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(state_.InputNumber, 4);
  EXPECT_EQ(Label1().toStdString(), Status(" вход № 4"));
}

TEST_F(TFormMainTest, OpenShortcutInAFieldIsNotRejected) {
  Focus(Ui().Edit1);
  Ui().Edit1->setText(QStringLiteral("5"));
  QTest::keyClick(Ui().Edit1, Qt::Key_F3);
  // The window's command ran (the dialog was cancelled); no key check.
  EXPECT_EQ(prompts_.openRequests.size(), 1u);
  EXPECT_EQ(Boxes(), (std::vector<QString>{QStringLiteral("Файл архива не выбран")}));
  EXPECT_EQ(Ui().Edit1->text(), QStringLiteral("5"));
  EXPECT_EQ(prompts_.beeps, 0);
}

TEST_F(TFormMainTest, LeavingEdit1WithTheNewestTimeShowsTheConversionFailure) {
  UseTestArchive();
  Click(Ui().Button8);
  const QString newest = Ui().Edit1->text();
  ASSERT_EQ(newest.toStdString(), SlotTime(kNewestSlot) + " " + SlotDate(kNewestSlot));
  Focus(Ui().Edit1);
  Click(Ui().Button4);
  ASSERT_EQ(prompts_.boxes.size(), 1u);
  EXPECT_EQ(prompts_.boxes[0].kind, BoxKind::kFailure);
  EXPECT_EQ(prompts_.boxes[0].title, kAppTitle);
  EXPECT_EQ(prompts_.boxes[0].text, "'" + newest + "' is not a valid integer value.");
  EXPECT_EQ(Ui().Edit1->text(), newest);
  EXPECT_EQ(prompts_.beeps, 0);
  EXPECT_EQ(state_.InputFilterPending, 0);
  ExpectBlock(kNewestSlot);
  // The focus went where it was going, and the button's command ran.
  EXPECT_TRUE(Ui().Button4->hasFocus());
  EXPECT_TRUE(Ui().Button3->isVisible());
}

TEST_F(TFormMainTest, EnterOnEdit1WithTheNewestTimeShowsOnlyTheConversionFailure) {
  UseTestArchive();
  Click(Ui().Button8);
  Focus(Ui().Edit1);
  QTest::keyClick(Ui().Edit1, Qt::Key_Return);
  ASSERT_EQ(prompts_.boxes.size(), 1u);
  EXPECT_EQ(prompts_.boxes[0].kind, BoxKind::kFailure);
  EXPECT_TRUE(Ui().StringGrid1->hasFocus());
}

TEST_F(TFormMainTest, EmptyEdit1LeftGivesFeedbackTwice) {
  Focus(Ui().Edit1);
  Focus(Ui().StringGrid1);
  EXPECT_EQ(Boxes(), (std::vector<QString>{kInputError, kInputError}));
  EXPECT_EQ(Ui().Edit1->text(), QStringLiteral("00"));
}

TEST_F(TFormMainTest, Edit1ActsAsASecondInputField) {
  UseTestArchive();
  Click(Ui().Button8);
  Focus(Ui().Edit1);
  Ui().Edit1->selectAll();
  QTest::keyClick(Ui().Edit1, Qt::Key_Delete);
  QTest::keyClick(Ui().Edit1, Qt::Key_3);
  Focus(Ui().StringGrid1);
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(state_.InputNumber, 3);
  EXPECT_EQ(Label1().toStdString(), Status(" вход № 3"));
  EXPECT_FALSE(Ui().EditNVh->isVisible());
  EXPECT_FALSE(Ui().Label4->isVisible());
  // The view wrote the newest record's text over the typed number.
  EXPECT_EQ(Ui().Edit1->text().toStdString(), SlotTime(kNewestSlot) + " " + SlotDate(kNewestSlot));
}

TEST_F(TFormMainTest, PushButtonWhileFieldHoldsANumberRunsTheInputViewFirst) {
  // An input without events makes the input view visible as its message.
  ArchiveBuilder builder;
  for (int slot = 0; slot < 1024; ++slot)
    builder.SetSlot(slot, SlotRecord(slot % 32 == 31 ? 0 : slot));
  archivePath_ = WriteArchive(builder.SetWriteOffset(kWriteOffset).Bytes());
  state_.ArchiveFileName = archivePath_;

  Click(Ui().Button7);
  QTest::keyClicks(Ui().EditNVh, QStringLiteral("32"));
  Click(Ui().Button8);
  EXPECT_EQ(Boxes(), (std::vector<QString>{QStringLiteral("нет событий")}));
  EXPECT_EQ(state_.InputNumber, 32);
  EXPECT_FALSE(Ui().EditNVh->isVisible());
  // Then the button's own command: the newest block.
  EXPECT_EQ(Label1().toStdString(), Status());
  EXPECT_EQ(window_->TableRowCount(), 17);
  EXPECT_TRUE(StepButtonsEnabled());
}

TEST_F(TFormMainTest, PushButtonAfterAValidNumberShowsTheButtonsView) {
  UseTestArchive();
  Click(Ui().Button7);
  QTest::keyClicks(Ui().EditNVh, QStringLiteral("3"));
  Click(Ui().Button9);
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(state_.InputNumber, 3);
  EXPECT_FALSE(Ui().EditNVh->isVisible());
  ExpectBlock(kNewestSlot + 16);
  EXPECT_EQ(Label1().toStdString(), Status());
}

TEST_F(TFormMainTest, InputViewOfEveryRecordFills1025Rows) {
  archivePath_ = WriteArchive(
      ArchiveBuilder().FillAll(MakeRecord(1, 0, 10, 20, 30, 4, 5)).SetWriteOffset(0).Bytes());
  state_.ArchiveFileName = archivePath_;
  Click(Ui().Button7);
  QTest::keyClick(Ui().EditNVh, Qt::Key_Return);
  EXPECT_EQ(window_->TableRowCount(), 1025);
  EXPECT_EQ(state_.ShownRowCount, 1024);
  EXPECT_EQ(window_->TableRow(1024),
            (EventRow{"Пред. сигн.     ", "1           ", "10:20:30", "04.05"}));
}

// --- date choice ---

TEST_F(TFormMainTest, ChoosingADateRunsTheSearch) {
  UseTestArchive();
  OpenPicker(QDate(2024, 3, 4));
  EXPECT_FALSE(Ui().DateTimePicker2->hasFocus());
  Focus(Ui().DateTimePicker2);
  QTest::keyClick(Ui().DateTimePicker2, Qt::Key_Up);  // day 04 -> 05
  EXPECT_EQ(state_.SearchDateKey, "05.03");
  EXPECT_TRUE(Boxes().empty());
  EXPECT_FALSE(Ui().DateTimePicker2->isVisible());
  EXPECT_FALSE(Ui().Button3->isVisible());
  // Slot 199 is the newest record of 5 March met walking back from slot 99.
  ExpectBlock(199);
  EXPECT_EQ(Label1().toStdString(), Status("  05.03"));
  EXPECT_TRUE(StepButtonsEnabled());
  EXPECT_EQ(state_.DateSearchPending, 0);
  // The hidden picker gave the focus to the next tab stop.
  EXPECT_TRUE(Ui().Button7->hasFocus());
}

TEST_F(TFormMainTest, DateNotFoundLeavesTheView) {
  UseTestArchive();
  Click(Ui().Button8);
  OpenPicker(QDate(2024, 3, 27));
  Focus(Ui().DateTimePicker2);
  QTest::keyClick(Ui().DateTimePicker2, Qt::Key_Up);
  EXPECT_EQ(state_.SearchDateKey, "28.03");
  EXPECT_EQ(Boxes(), (std::vector<QString>{QStringLiteral("Указанная дата не найдена")}));
  EXPECT_EQ(prompts_.boxes[0].kind, BoxKind::kInformation);
  ExpectBlock(kNewestSlot);
  EXPECT_EQ(Label1().toStdString(), Status());
  EXPECT_FALSE(Ui().DateTimePicker2->isVisible());
  EXPECT_EQ(state_.DateSearchPending, 0);
}

TEST_F(TFormMainTest, LeavingThePickerWithoutAChangeShowsThePlainView) {
  UseTestArchive();
  OpenPicker(QDate(2024, 3, 4));
  Focus(Ui().DateTimePicker2);
  Focus(Ui().StringGrid1);
  EXPECT_TRUE(Boxes().empty());
  ExpectBlock(kNewestSlot);
  EXPECT_EQ(Label1().toStdString(), Status());
  EXPECT_TRUE(Ui().DateTimePicker2->isVisible());
  EXPECT_TRUE(Ui().Button3->isVisible());
}

TEST_F(TFormMainTest, ADateChangeWithoutFocusOnlyRemembersTheKey) {
  UseTestArchive();
  OpenPicker(QDate(2024, 3, 4));
  Ui().DateTimePicker2->setDate(QDate(2024, 3, 5));
  EXPECT_EQ(state_.SearchDateKey, "05.03");
  EXPECT_EQ(state_.DateSearchPending, 1);
  EXPECT_FALSE(Ui().DateTimePicker2->isVisible());
  EXPECT_EQ(Label1(), QStringLiteral("Документирование"));
}

// --- archive file choice ---

FileDialogAnswer Answer(const QString& name,
                        const QString& filter = QStringLiteral("Файлы типа .dat (*.dat)")) {
  return FileDialogAnswer{name, filter};
}

TEST_F(TFormMainTest, OpenDialogIsAskedWithItsSettings) {
  prompts_.openAnswers.push_back(Answer(QStringLiteral("/data/arch.dat")));
  QTest::keyClick(window_.get(), Qt::Key_F3);
  ASSERT_EQ(prompts_.openRequests.size(), 1u);
  const FileDialogRequest& request = prompts_.openRequests[0];
  EXPECT_EQ(request.title, QStringLiteral("Выбор файла архива"));
  EXPECT_EQ(request.filters, (QStringList{QStringLiteral("Файлы типа .dat (*.dat)"),
                                          QStringLiteral("Все файлы (*.*)")}));
  EXPECT_EQ(request.selectedFilter, QStringLiteral("Файлы типа .dat (*.dat)"));
  EXPECT_EQ(request.startName, QString());
  EXPECT_EQ(request.defaultSuffix, QStringLiteral("dat"));
  EXPECT_EQ(state_.ArchiveFileName, "/data/arch.dat");
  EXPECT_EQ(state_.ArchiveFileExt, ".dat");
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(TFormMainTest, ChoosingAFileStartsNoView) {
  UseTestArchive();
  prompts_.openAnswers.push_back(Answer(QString::fromStdString(archivePath_)));
  Click(Ui().ToolButton7);
  EXPECT_EQ(state_.ArchiveFileName, archivePath_);
  EXPECT_EQ(Label1(), QStringLiteral("Документирование"));
  EXPECT_EQ(window_->TableRow(0), EventRow{});
  EXPECT_EQ(Ui().Edit1->text(), QString());
}

TEST_F(TFormMainTest, NameWithoutExtensionGetsDat) {
  prompts_.openAnswers.push_back(Answer(QStringLiteral("/data/v1.2/arch")));
  Ui().AOpenFile->trigger();
  EXPECT_EQ(state_.ArchiveFileName, "/data/v1.2/arch.dat");
  EXPECT_EQ(state_.ArchiveFileExt, "");
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(TFormMainTest, RejectedNamesWarnAndReopenTheDialog) {
  prompts_.openAnswers.push_back(Answer(QStringLiteral("/data/arch.DAT")));
  prompts_.openAnswers.push_back(Answer(QStringLiteral("/data/arch.dat.bak")));
  prompts_.openAnswers.push_back(
      Answer(QStringLiteral("/data/arch."), QStringLiteral("Все файлы (*.*)")));
  prompts_.openAnswers.push_back(Answer(QStringLiteral("/data/good.dat")));
  Ui().AOpenFile->trigger();

  ASSERT_EQ(prompts_.boxes.size(), 3u);
  for (const testing::BoxRecord& box : prompts_.boxes) {
    EXPECT_EQ(box.kind, BoxKind::kWarning);
    EXPECT_EQ(box.title, QStringLiteral("задание имени файла"));
    EXPECT_EQ(box.text, QStringLiteral("Неверно задано имя файла"));
  }
  ASSERT_EQ(prompts_.openRequests.size(), 4u);
  EXPECT_EQ(prompts_.openRequests[1].startName, QStringLiteral("/data/arch.DAT"));
  EXPECT_EQ(prompts_.openRequests[2].startName, QStringLiteral("/data/arch.dat.bak"));
  EXPECT_EQ(prompts_.openRequests[3].startName, QStringLiteral("/data/arch."));
  EXPECT_EQ(prompts_.openRequests[3].selectedFilter, QStringLiteral("Все файлы (*.*)"));
  EXPECT_EQ(state_.ArchiveFileName, "/data/good.dat");
  EXPECT_EQ(state_.ArchiveFileExt, ".dat");
}

TEST_F(TFormMainTest, NameHeldWhileTheWarningIsShown) {
  std::string nameDuringWarning;
  prompts_.whileBoxOpen = [&](const testing::BoxRecord&) {
    nameDuringWarning = state_.ArchiveFileName;
  };
  prompts_.openAnswers.push_back(Answer(QStringLiteral("/data/arch.txt")));
  Ui().AOpenFile->trigger();
  EXPECT_EQ(nameDuringWarning, "/data/arch.txt");
  // The second opening was cancelled.
  EXPECT_EQ(state_.ArchiveFileName, "");
  EXPECT_EQ(state_.ArchiveFileExt, ".txt");
}

TEST_F(TFormMainTest, CancelDropsTheChosenFile) {
  UseTestArchive();
  Click(Ui().Button8);
  Ui().AOpenFile->trigger();  // no answer scripted: cancelled
  ASSERT_EQ(prompts_.boxes.size(), 1u);
  EXPECT_EQ(prompts_.boxes[0].kind, BoxKind::kInformation);
  EXPECT_EQ(prompts_.boxes[0].title, kAppTitle);
  EXPECT_EQ(prompts_.boxes[0].text, QStringLiteral("Файл архива не выбран"));
  EXPECT_EQ(state_.ArchiveFileName, "");
  ExpectBlock(kNewestSlot);
  Click(Ui().Button8);
  EXPECT_EQ(prompts_.boxes.back().text, QStringLiteral("Не задано имя файла архива"));
  ExpectBlock(kNewestSlot);
}

TEST_F(TFormMainTest, DialogRestartsWithTheLastNameAfterACancel) {
  prompts_.openAnswers.push_back(Answer(QStringLiteral("/data/a.dat")));
  Ui().AOpenFile->trigger();
  Ui().AOpenFile->trigger();  // cancelled
  Ui().AOpenFile->trigger();
  ASSERT_EQ(prompts_.openRequests.size(), 3u);
  EXPECT_EQ(prompts_.openRequests[1].startName, QStringLiteral("/data/a.dat"));
  EXPECT_EQ(prompts_.openRequests[2].startName, QStringLiteral("/data/a.dat"));
  EXPECT_EQ(state_.ArchiveFileExt, ".dat");
}

TEST_F(TFormMainTest, MissingFileIsChosenAndCannotBeOpened) {
  const QString missing = dir_.filePath(QStringLiteral("missing.dat"));
  prompts_.openAnswers.push_back(Answer(missing));
  Ui().AOpenFile->trigger();
  EXPECT_EQ(state_.ArchiveFileName, missing.toStdString());
  Click(Ui().Button8);
  EXPECT_EQ(Boxes(), (std::vector<QString>{QStringLiteral("Архив не удается открыть")}));
}

// --- focus traps ---

TEST_F(TFormMainTest, ActivatingAnotherWindowRunsNoExitCheck) {
  UseTestArchive();
  Click(Ui().Button7);
  QTest::keyClicks(Ui().EditNVh, QStringLiteral("40"));
  ActivateOtherWindow();
  EXPECT_TRUE(Boxes().empty());
  ReactivateWindow();
  EXPECT_TRUE(Ui().EditNVh->hasFocus());
  EXPECT_TRUE(Boxes().empty());
  QTest::keyClick(Ui().EditNVh, Qt::Key_Tab);
  EXPECT_EQ(Boxes(), (std::vector<QString>{kInputError}));
}

TEST_F(TFormMainTest, RejectedKeyRunsTheExitCheckAlsoWhenTheWindowIsInactive) {
  // A real box leaves the window inactive for a moment after it closes.
  bool first = true;
  prompts_.whileBoxOpen = [&](const testing::BoxRecord&) {
    if (first) ActivateOtherWindow();
    first = false;
  };
  Click(Ui().Button7);
  QTest::keyClick(Ui().EditNVh, Qt::Key_A);
  EXPECT_EQ(Boxes(), (std::vector<QString>{kInputError, kInputError}));
  EXPECT_EQ(window_->focusWidget(), Ui().StringGrid1);
  ReactivateWindow();
  EXPECT_TRUE(Ui().StringGrid1->hasFocus());
  EXPECT_EQ(Boxes().size(), 2u);
  EXPECT_EQ(Ui().EditNVh->text(), QStringLiteral("00"));
}

TEST_F(TFormMainTest, EnterRunsTheInputViewAlsoWhenTheWindowIsInactive) {
  UseTestArchive();
  Click(Ui().Button7);
  QTest::keyClick(Ui().EditNVh, Qt::Key_9);
  // The key reaches the field, then the window loses its activation before
  // the key check moves the focus on.
  prompts_.whileBoxOpen = nullptr;
  ActivateOtherWindow();
  window_->EditBlocKeyDown(Ui().EditNVh, Qt::Key_Return, Qt::NoModifier);
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(state_.InputNumber, 9);
  EXPECT_EQ(Label1().toStdString(), Status(" вход № 9"));
  ReactivateWindow();
  EXPECT_EQ(state_.InputNumber, 9);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(TFormMainTest, HidingThePickerRunsTheSearchOnceWhenTheWindowIsInactive) {
  UseTestArchive();
  Click(Ui().Button9);
  OpenPicker(QDate(2024, 3, 4));
  Focus(Ui().DateTimePicker2);
  // As when the date is chosen in the calendar while the window is not active.
  ActivateOtherWindow();
  Ui().DateTimePicker2->setDate(QDate(2024, 3, 5));
  EXPECT_FALSE(Ui().DateTimePicker2->isVisible());
  ExpectBlock(199);
  EXPECT_EQ(Label1().toStdString(), Status("  05.03"));
  ReactivateWindow();
  // A second run would be a plain view of the oldest block.
  EXPECT_EQ(Label1().toStdString(), Status("  05.03"));
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(TFormMainTest, ReportPaneKeepsTheFocusOnTab) {
  Focus(Ui().RichEdit1);
  QTest::keyClick(Ui().RichEdit1, Qt::Key_Tab);
  EXPECT_TRUE(Ui().RichEdit1->hasFocus());
  QTest::keyClick(Ui().RichEdit1, Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_TRUE(Ui().RichEdit1->hasFocus());
}

TEST_F(TFormMainTest, ClosingTheWindowRunsNoExitCheck) {
  Click(Ui().Button7);
  QTest::keyClicks(Ui().EditNVh, QStringLiteral("40"));
  window_->close();
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(TFormMainTest, ExitCheckRunsOnceWhenQtDeliversTheFocusChange) {
  Click(Ui().Button7);
  QTest::keyClicks(Ui().EditNVh, QStringLiteral("50"));
  window_->MoveFocus(Ui().StringGrid1);
  EXPECT_EQ(Boxes(), (std::vector<QString>{kInputError}));
}

}  // namespace
}  // namespace torv
