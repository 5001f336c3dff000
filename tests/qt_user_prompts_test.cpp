#include "ui/qt_user_prompts.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <memory>

namespace torv {
namespace {

void ExpectOneOkButton(const QMessageBox& box) {
  ASSERT_EQ(box.buttons().size(), 1);
  EXPECT_EQ(box.standardButton(box.buttons().front()), QMessageBox::Ok);
}

TEST(QtUserPromptsTest, InformationBoxHasNoIconAndOneOkButton) {
  const auto box = MakeInformationBox(QStringLiteral("torvdoc"), QStringLiteral("Ошибка ввода"));
  EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
  EXPECT_EQ(box->windowTitle(), QStringLiteral("torvdoc"));
  EXPECT_EQ(box->text(), QStringLiteral("Ошибка ввода"));
  EXPECT_EQ(box->parentWidget(), nullptr);
  ExpectOneOkButton(*box);
}

TEST(QtUserPromptsTest, WarningBoxIsApplicationModalWithoutOwner) {
  const auto box = MakeWarningBox(QStringLiteral("задание имени файла"),
                                  QStringLiteral("Неверно задано имя файла"));
  EXPECT_EQ(box->icon(), QMessageBox::Warning);
  EXPECT_EQ(box->windowModality(), Qt::ApplicationModal);
  EXPECT_EQ(box->parentWidget(), nullptr);
  EXPECT_EQ(box->windowTitle(), QStringLiteral("задание имени файла"));
  ExpectOneOkButton(*box);
}

TEST(QtUserPromptsTest, FailureBoxShowsTheStopIcon) {
  const auto box = MakeFailureBox(QStringLiteral("torvdoc"),
                                  QStringLiteral("'x' is not a valid integer value."));
  EXPECT_EQ(box->icon(), QMessageBox::Critical);
  EXPECT_EQ(box->text(), QStringLiteral("'x' is not a valid integer value."));
  ExpectOneOkButton(*box);
}

TEST(QtUserPromptsTest, PrintDialogKeepsQtsPaperAndCollateChoicesButOffersNoSelection) {
  QPrinter printer(QPrinter::HighResolution);
  const auto dialog = MakePrintDialog(printer);
  EXPECT_EQ(dialog->printer(), &printer);
  EXPECT_EQ(dialog->options(),
            QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintPageRange |
                QAbstractPrintDialog::PrintShowPageSize | QAbstractPrintDialog::PrintCollateCopies);
}

// A window manager shows the title beside the box's icon and its minimise,
// maximise and close buttons: 100 pixels at the least.
TEST(QtUserPromptsTest, BoxesLeaveTheTitleBarRoomForTheirTitle) {
  struct Shown {
    std::unique_ptr<QMessageBox> box;
    QMessageBox::Icon icon;
  };
  const QString kAppTitle = QStringLiteral("torvdoc");
  const QString kNameTitle = QStringLiteral("задание имени файла");
  Shown shown[] = {
      {MakeInformationBox(kAppTitle, QStringLiteral("Ошибка ввода")), QMessageBox::NoIcon},
      {MakeWarningBox(kNameTitle, QStringLiteral("Неверно задано имя файла")),
       QMessageBox::Warning},
      {MakeFailureBox(kAppTitle, QStringLiteral("'1:' is not a valid integer value.")),
       QMessageBox::Critical},
  };
  for (Shown& each : shown) {
    QMessageBox& box = *each.box;
    SCOPED_TRACE(box.windowTitle().toStdString());
    // The same box as Qt makes it by itself.
    QMessageBox plain(each.icon, box.windowTitle(), box.text(), QMessageBox::Ok);
    box.show();
    plain.show();
    QFont bold = box.font();
    bold.setBold(true);
    EXPECT_GE(box.width(), QFontMetrics(bold).horizontalAdvance(box.windowTitle()) + 100);
    EXPECT_GE(box.width(), plain.width());
    EXPECT_EQ(box.text(), plain.text());
  }
  // "Ошибка ввода" alone made a box too narrow for "torvdoc".
  QMessageBox plain(QMessageBox::NoIcon, kAppTitle, QStringLiteral("Ошибка ввода"),
                    QMessageBox::Ok);
  plain.show();
  EXPECT_GT(shown[0].box->width(), plain.width());
}

}  // namespace
}  // namespace torv
