// The history window's date field, offscreen: a date typed whole wherever
// the cursor stands, and nothing taken from a half-typed or wrong one.
#include "history_ui/date_field.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QLineEdit>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace torv {
namespace {

const QDate kShown(2026, 12, 9);
const QDate kMarch1(2026, 3, 1);

std::string Shown(const QDate& date) {
  return date.toString(QStringLiteral("dd.MM.yyyy")).toStdString();
}

class DateFieldTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto* layout = new QVBoxLayout(&host_);
    layout->addWidget(field_);
    layout->addWidget(other_);
    field_->setDate(kShown);
    host_.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&host_));
  }

  // The click, not the typing, places the cursor, as the operator's does.
  // Columns 1, 4, 8: the day, the month, the year.
  void ClickInto(int column) {
    const int x = edit_->fontMetrics().horizontalAdvance(edit_->text().left(column)) + 4;
    QTest::mouseClick(edit_, Qt::LeftButton, {}, QPoint(x, edit_->height() / 2));
    ASSERT_TRUE(field_->hasFocus());
    ASSERT_EQ(field_->currentSectionIndex(), column / 3);
  }

  QWidget host_;
  DateField* field_ = new DateField(&host_);
  QLineEdit* other_ = new QLineEdit(&host_);
  QLineEdit* edit_ = field_->findChild<QLineEdit*>();
};

TEST_F(DateFieldTest, AWholeDateIsTakenOnceWhereverTheCursorStands) {
  const struct {
    const char* keys;
    QDate date;   // the field's date after them
    int changes;  // dateChanged signals
    const char* toolTip;
  } cases[] = {
      {"01.03.2026\r", kMarch1, 1, ""},
      {"1.3.2026", kMarch1, 1, ""},
      {"01032026", kMarch1, 1, ""},
      {"2026-03-01", kMarch1, 1, ""},
      {"2026-3-1\r", kMarch1, 1, ""},
      {"2026-3-1\t", kMarch1, 1, ""},
      {"01.04\b3.2026", kMarch1, 1, ""},
      {"31.02.2026\r", kShown, 0, "Нет такой даты: 31.02.2026"},
      {"99.99.9999\t", kShown, 0, "Нет такой даты: 99.99.9999"},
      {"1.3.26\r", kShown, 0, "Не дата: 1.3.26 (нужно дд.мм.гггг)"},
      {"0103202\t", kShown, 0, "Не дата: 0103202 (нужно дд.мм.гггг)"},
      {"01.01.1000\r", kShown, 0, "Дата вне 14.09.1752–31.12.9999: 01.01.1000"},
      {"01.03.20\x1b", kShown, 0, ""},
  };
  for (const int column : {1, 4, 8}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(c.keys) + " after column " + std::to_string(column));
      field_->setDate(kShown);
      other_->setFocus();
      ClickInto(column);
      QSignalSpy changes(field_, &QDateEdit::dateChanged);
      QTest::keyClicks(field_, c.keys);  // \t: the Tab key, out of the field
      EXPECT_EQ(Shown(field_->date()), Shown(c.date));
      EXPECT_EQ(edit_->text().toStdString(), Shown(c.date));
      EXPECT_EQ(changes.count(), c.changes);
      EXPECT_EQ(field_->toolTip().toStdString(), c.toolTip);
    }
  }
}

TEST_F(DateFieldTest, ArrowsWheelAndCalendarStillChangeTheDateAtOnce) {
  ClickInto(1);
  QSignalSpy changes(field_, &QDateEdit::dateChanged);
  QTest::keyClick(field_, Qt::Key_Up);
  // An arrow, the wheel or the calendar while typing drop the typed text.
  QTest::keyClicks(field_, "01.0");
  QTest::keyClick(field_, Qt::Key_Up);
  EXPECT_EQ(Shown(field_->date()), "11.12.2026");
  QTest::keyClicks(field_, "05");
  QWheelEvent wheel({5, 5}, field_->mapToGlobal(QPointF(5, 5)), {}, {0, 120}, Qt::NoButton, {},
                    Qt::NoScrollPhase, false);
  QApplication::sendEvent(field_, &wheel);
  EXPECT_EQ(Shown(field_->date()), "12.12.2026");
  QTest::keyClicks(field_, "3");
  QTest::mouseClick(field_, Qt::LeftButton, {}, QPoint(field_->width() - 5, field_->height() / 2));
  auto* calendar = field_->findChild<QCalendarWidget*>();
  ASSERT_TRUE(calendar != nullptr && calendar->isVisible());
  EXPECT_EQ(Shown(calendar->selectedDate()), "12.12.2026");
  calendar->setSelectedDate(QDate(2026, 12, 20));
  EXPECT_EQ(edit_->text().toStdString(), "20.12.2026");
  EXPECT_EQ(changes.count(), 4);
}

// A box opening over the window (the store read again and failing, say)
// takes the focus away while a date is typed: nothing is taken meanwhile,
// and the typing goes on after it.
TEST_F(DateFieldTest, ABoxOpeningWhileTypingKeepsTheTypedText) {
  ClickInto(4);
  QSignalSpy changes(field_, &QDateEdit::dateChanged);
  QTest::keyClicks(field_, "01.03");
  QString shownUnderBox;
  QTimer::singleShot(0, &host_, [&] {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("История"), QStringLiteral("Нет связи"),
                    QMessageBox::Ok, &host_);
    QTimer::singleShot(50, &box, [&] {
      if (QApplication::activeWindow() == &box) shownUnderBox = edit_->text();
      box.accept();
    });
    box.exec();
  });
  QTest::qWait(200);
  EXPECT_EQ(shownUnderBox.toStdString(), "01.03");
  EXPECT_EQ(changes.count(), 0);
  host_.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&host_));
  ASSERT_TRUE(field_->hasFocus());
  QTest::keyClicks(field_, ".2026");
  EXPECT_EQ(Shown(field_->date()), "01.03.2026");
  // Leaving the field for another one of the window does take it.
  QTest::keyClicks(field_, "2026-3-2");
  other_->setFocus(Qt::MouseFocusReason);
  EXPECT_EQ(Shown(field_->date()), "02.03.2026");
  EXPECT_EQ(changes.count(), 2);
}

}  // namespace
}  // namespace torv
