// The window with its real boxes and pop-ups: every box runs its own event
// loop, mouse buttons are pressed and released through the window system, and
// the date picker's calendar is the real pop-up. These are the conditions
// under which a box can eat a mouse release or a pop-up outlive its owner.
#include <QCalendarWidget>
#include <QStyle>
#include <QStyleOptionComboBox>

#include "operator_input.h"
#include "tform_main_fixture.h"
#include "ui/qt_user_prompts.h"

namespace torv {
namespace {

using testing::BoxAnswerer;
using testing::OperatorClick;
using testing::OperatorKey;
using testing::SeenBox;

const QString kNoArchiveName = QStringLiteral("Не задано имя файла архива");

class TFormMainEventLoopTest : public WindowTest<QtUserPrompts> {
 protected:
  void TearDown() override {
    WindowTest<QtUserPrompts>::TearDown();
    // No box or pop-up may outlive the test's window.
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
  }

  std::vector<QString> Boxes() const { return answerer_.Texts(); }

  // Shows the picker with `date` and opens its calendar with a click on the
  // drop-down arrow, as the operator does.
  QWidget* OpenCalendar(QDate date) {
    OpenPicker(date);
    QDateEdit* picker = Ui().DateTimePicker2;
    OperatorClick(picker, QPoint(picker->width() - 4, picker->height() / 2));
    QWidget* popup = picker->calendarWidget()->window();
    EXPECT_TRUE(popup->isVisible());
    EXPECT_EQ(QApplication::activePopupWidget(), popup);
    return popup;
  }

  // The cell of `date` in the calendar's month view.
  QPoint DayCell(QDate date) const {
    QCalendarWidget* calendar = Ui().DateTimePicker2->calendarWidget();
    auto* view = calendar->findChild<QAbstractItemView*>();
    for (int row = 0; row < view->model()->rowCount(); ++row) {
      for (int column = 0; column < view->model()->columnCount(); ++column) {
        const QModelIndex cell = view->model()->index(row, column);
        if (cell.data().toString() == QString::number(date.day()) && (row > 1 || date.day() < 15)) {
          return view->mapTo(view->window(), view->visualRect(cell).center());
        }
      }
    }
    ADD_FAILURE() << "no cell for day " << date.day();
    return {};
  }

  void ClickDay(QDate date) {
    QWidget* popup = Ui().DateTimePicker2->calendarWidget()->window();
    OperatorClick(popup, DayCell(date));
  }

  BoxAnswerer answerer_;
};

// --- a push button pressed while an input field has the focus ---

TEST_F(TFormMainEventLoopTest, ButtonCommandFollowsTheBoxOfTheFieldsInputView) {
  // No archive chosen: the input view that the field's exit check starts
  // ends in a box, and the button's own view in a second one.
  OperatorClick(Ui().Button7);
  ASSERT_TRUE(Ui().EditNVh->hasFocus());
  QTest::keyClick(Ui().EditNVh, Qt::Key_5);
  OperatorClick(Ui().Button8);
  EXPECT_EQ(Boxes(), (std::vector<QString>{kNoArchiveName, kNoArchiveName}));
  EXPECT_EQ(answerer_.boxes[0], (SeenBox{QMessageBox::NoIcon, kAppTitle, kNoArchiveName}));
  EXPECT_EQ(state_.InputNumber, 5);
  EXPECT_FALSE(Ui().Button8->isDown());
  EXPECT_EQ(window_->focusWidget(), Ui().Button8);
}

TEST_F(TFormMainEventLoopTest, ButtonCommandFollowsTwoFeedbackBoxes) {
  OperatorClick(Ui().Button7);
  QTest::keyClick(Ui().EditNVh, Qt::Key_Backspace);
  ASSERT_EQ(Ui().EditNVh->text(), QString());
  OperatorClick(Ui().Button4);
  EXPECT_EQ(Boxes(), (std::vector<QString>{kInputError, kInputError}));
  EXPECT_EQ(Ui().EditNVh->text(), QStringLiteral("00"));
  // "Показать с заданной даты" did its part: "Задайте дату" is shown.
  EXPECT_TRUE(Ui().Button3->isVisible());
  EXPECT_FALSE(Ui().Button4->isDown());
}

TEST_F(TFormMainEventLoopTest, ButtonCommandFollowsTheConversionFailureOfEdit1) {
  UseTestArchive();
  OperatorClick(Ui().Button8);
  ASSERT_TRUE(Boxes().empty());
  const QString newest = Ui().Edit1->text();
  OperatorClick(Ui().Edit1);
  ASSERT_TRUE(Ui().Edit1->hasFocus());
  OperatorClick(Ui().Button9);
  ASSERT_EQ(answerer_.boxes.size(), 1u);
  EXPECT_EQ(answerer_.boxes[0], (SeenBox{QMessageBox::Critical, kAppTitle,
                                         "'" + newest + "' is not a valid integer value."}));
  // Then "Начало архива": the oldest block.
  ExpectBlock(kNewestSlot + 16);
  EXPECT_EQ(state_.BlocksBack, 64);
  EXPECT_FALSE(Ui().Button9->isDown());
}

TEST_F(TFormMainEventLoopTest, ButtonCommandFollowsFeedbackInEdit1) {
  UseTestArchive();
  // Before the first view Edit1 is empty: two feedback boxes, then the view.
  OperatorClick(Ui().Edit1);
  OperatorClick(Ui().Button9);
  EXPECT_EQ(Boxes(), (std::vector<QString>{kInputError, kInputError}));
  ExpectBlock(kNewestSlot + 16);
  EXPECT_FALSE(Ui().Button9->isDown());
}

TEST_F(TFormMainEventLoopTest, ButtonCommandFollowsAnInputViewWithoutEvents) {
  // Input 32 has no events: its view ends in the box "нет событий".
  UseArchiveWithoutInput32();
  OperatorClick(Ui().Button7);
  QTest::keyClicks(Ui().EditNVh, QStringLiteral("32"));
  OperatorClick(Ui().Button8);
  EXPECT_EQ(Boxes(), (std::vector<QString>{QStringLiteral("нет событий")}));
  EXPECT_FALSE(Ui().EditNVh->isVisible());
  EXPECT_EQ(Label1().toStdString(), Status());
  EXPECT_TRUE(StepButtonsEnabled());
  EXPECT_FALSE(Ui().Button8->isDown());
}

TEST_F(TFormMainEventLoopTest, ButtonCommandRunsOnceWhenNoBoxOpens) {
  UseTestArchive();
  OperatorClick(Ui().Button8);
  OperatorClick(Ui().Edit1);
  Ui().Edit1->selectAll();
  QTest::keyClick(Ui().Edit1, Qt::Key_Delete);
  QTest::keyClick(Ui().Edit1, Qt::Key_3);
  OperatorClick(Ui().Button6);
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(state_.InputNumber, 3);
  // The input view walks the whole ring back to the newest record, so one
  // step back starts there; a second step would start 16 records further.
  ExpectBlock(kNewestSlot);
  EXPECT_FALSE(Ui().Button6->isDown());
}

TEST_F(TFormMainEventLoopTest, ButtonCommandFollowsTheBoxOfThePickersView) {
  // The picker's loss of focus runs a view, which without an archive ends
  // in a box; "Начало архива" then runs its own.
  OpenPicker(QDate(2024, 3, 6));
  OperatorClick(Ui().DateTimePicker2, QPoint(4, Ui().DateTimePicker2->height() / 2));
  ASSERT_TRUE(Ui().DateTimePicker2->hasFocus());
  OperatorClick(Ui().Button9);
  EXPECT_EQ(Boxes(), (std::vector<QString>{kNoArchiveName, kNoArchiveName}));
  EXPECT_EQ(state_.BlocksBack, 64);
  EXPECT_TRUE(Ui().DateTimePicker2->isVisible());
  EXPECT_FALSE(Ui().Button9->isDown());
}

// --- the date picker's calendar ---

TEST_F(TFormMainEventLoopTest, KeyInTheCalendarSearchesOnceAndClosesIt) {
  UseTestArchive();
  QWidget* popup = OpenCalendar(QDate(2024, 3, 6));
  OperatorKey(Qt::Key_Left);  // 6 March -> 5 March
  EXPECT_EQ(state_.SearchDateKey, "05.03");
  EXPECT_FALSE(popup->isVisible());
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
  EXPECT_FALSE(Ui().DateTimePicker2->isVisible());
  EXPECT_FALSE(Ui().Button3->isVisible());
  ExpectBlock(199);
  EXPECT_EQ(Label1().toStdString(), Status("  05.03"));
  EXPECT_EQ(state_.DateSearchPending, 0);
  EXPECT_TRUE(Boxes().empty());

  // Whatever is left on screen, the operator clicks it: a day of a calendar
  // that outlived its picker must not leave a search behind.
  if (popup->isVisible()) ClickDay(QDate(2024, 3, 2));
  EXPECT_EQ(state_.DateSearchPending, 0);
  OperatorClick(Ui().Button8);
  ExpectBlock(kNewestSlot);
  EXPECT_EQ(Label1().toStdString(), Status());
}

TEST_F(TFormMainEventLoopTest, DayClickedInTheCalendarSearchesOnce) {
  UseTestArchive();
  OperatorClick(Ui().Button9);
  QWidget* popup = OpenCalendar(QDate(2024, 3, 10));
  ClickDay(QDate(2024, 3, 5));
  EXPECT_EQ(state_.SearchDateKey, "05.03");
  EXPECT_FALSE(popup->isVisible());
  EXPECT_FALSE(Ui().DateTimePicker2->isVisible());
  EXPECT_FALSE(Ui().Button3->isVisible());
  ExpectBlock(199);
  // A second run would show the oldest block again, as "Начало архива" left
  // BlocksBack at 64.
  QTest::qWait(50);
  EXPECT_EQ(Label1().toStdString(), Status("  05.03"));
  EXPECT_EQ(state_.DateSearchPending, 0);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(TFormMainEventLoopTest, DateNotFoundInTheCalendarShowsOneBox) {
  UseTestArchive();
  OperatorClick(Ui().Button8);
  QWidget* popup = OpenCalendar(QDate(2024, 3, 27));
  OperatorKey(Qt::Key_Right);  // 28 March: no record of that day
  EXPECT_EQ(Boxes(), (std::vector<QString>{QStringLiteral("Указанная дата не найдена")}));
  EXPECT_FALSE(popup->isVisible());
  EXPECT_FALSE(Ui().DateTimePicker2->isVisible());
  ExpectBlock(kNewestSlot);
  EXPECT_EQ(state_.DateSearchPending, 0);
  OperatorClick(Ui().Button9);
  ExpectBlock(kNewestSlot + 16);
  EXPECT_EQ(Boxes().size(), 1u);
}

TEST_F(TFormMainEventLoopTest, CalendarClosedWithoutAChoiceKeepsThePicker) {
  UseTestArchive();
  QWidget* popup = OpenCalendar(QDate(2024, 3, 6));
  OperatorKey(Qt::Key_Escape);
  EXPECT_FALSE(popup->isVisible());
  EXPECT_TRUE(Ui().DateTimePicker2->isVisible());
  EXPECT_EQ(Ui().DateTimePicker2->date(), QDate(2024, 3, 6));
  EXPECT_EQ(state_.DateSearchPending, 0);
  EXPECT_EQ(Label1(), QStringLiteral("Документирование"));
}

}  // namespace
}  // namespace torv
