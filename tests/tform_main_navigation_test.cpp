// The navigation commands and the documenting group's F4.
#include "tform_main_fixture.h"

#include <QGroupBox>
#include <QToolButton>

namespace torv {
namespace {

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

}  // namespace
}  // namespace torv
