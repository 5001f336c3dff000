#include "ui/qt_user_prompts.h"

#include <gtest/gtest.h>

#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

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

}  // namespace
}  // namespace torv
