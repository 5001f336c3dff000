// The input-number fields EditNVh and Edit1: the input view, the exit check
// and its feedback, and push buttons pressed while a field has the focus.
#include "tform_main_fixture.h"

namespace torv {
namespace {

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
  UseArchiveWithoutInput32();

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

}  // namespace
}  // namespace torv
