// The date choice: "Показать с заданной даты", "Задайте дату" and the picker.
#include "tform_main_fixture.h"

namespace torv {
namespace {

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

TEST_F(TFormMainTest, ADateChangeOfTheHiddenPickerLeavesNoSearchPending) {
  UseTestArchive();
  ASSERT_FALSE(Ui().DateTimePicker2->isVisible());
  Ui().DateTimePicker2->setDate(QDate(2024, 3, 5));
  EXPECT_EQ(state_.DateSearchPending, 0);
  EXPECT_EQ(state_.SearchDateKey, "");
  Click(Ui().Button8);
  ExpectBlock(kNewestSlot);
  EXPECT_EQ(Label1().toStdString(), Status());
}

}  // namespace
}  // namespace torv
