// Focus rules: exit checks run once, also when the window is not active, and
// never when another window or the closing window takes the focus.
#include "tform_main_fixture.h"

#include <QTextEdit>

namespace torv {
namespace {

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

TEST_F(TFormMainTest, ControlTabLeavesTheReportPane) {
  Focus(Ui().RichEdit1);
  QTest::keyClick(Ui().RichEdit1, Qt::Key_Tab, Qt::ControlModifier);
  EXPECT_TRUE(Ui().Button8->hasFocus());
  Focus(Ui().RichEdit1);
  QTest::keyClick(Ui().RichEdit1, Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_TRUE(Ui().StringGrid1->hasFocus());
  // X11 reports Shift+Tab as Backtab.
  Focus(Ui().RichEdit1);
  QTest::keyClick(Ui().RichEdit1, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_TRUE(Ui().StringGrid1->hasFocus());
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(TFormMainTest, ReportPaneTellsHowToLeaveIt) {
  EXPECT_EQ(Ui().RichEdit1->toolTip(),
            QStringLiteral("Отчет. Tab не уводит из отчета: Ctrl+Tab — к следующему элементу "
                           "окна, Ctrl+Shift+Tab — к предыдущему"));
}

TEST_F(TFormMainTest, TabFromTheGridReachesTheButtonsThroughThePane) {
  Focus(Ui().StringGrid1);
  QTest::keyClick(Ui().StringGrid1, Qt::Key_Tab);
  ASSERT_TRUE(Ui().RichEdit1->hasFocus());
  QTest::keyClick(Ui().RichEdit1, Qt::Key_Tab, Qt::ControlModifier);
  EXPECT_TRUE(Ui().Button8->hasFocus());
  QTest::keyClick(Ui().Button8, Qt::Key_Tab);
  EXPECT_TRUE(Ui().Button9->hasFocus());
}

// --- Enter on a push button ---

TEST_F(TFormMainTest, EnterPressesTheFocusedButton) {
  UseTestArchive();
  Focus(Ui().Button8);
  QTest::keyClick(Ui().Button8, Qt::Key_Return);
  ExpectBlock(kNewestSlot);
  Focus(Ui().Button4);
  QTest::keyClick(Ui().Button4, Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_TRUE(Ui().Button3->isVisible());
  EXPECT_TRUE(Boxes().empty());
}

}  // namespace
}  // namespace torv
