// The documenting group with the real boxes and dialogs, each answered from
// inside its own event loop while the command that opened it waits: the
// print dialog after the no-printer warning, the save dialog that refuses a
// missing folder with a box of its own, and the box of a document nothing
// opens.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <cstdio>
#include <memory>
#include <string>

#include "cli_test_support.h"
#include "modal_answers.h"
#include "pdf_columns.h"
#include "report/rtf_writer.h"
#include "result_value.h"
#include "tform_main_fixture.h"
#include "ui/qt_user_prompts.h"
#include "ui/tform_main.h"

namespace torv {
namespace {

using testing::ModalAnswers;

const QString kNoPrinterWarning = QStringLiteral(
    "Принтер по умолчанию не установлен.\n"
    "Отчет можно напечатать в файл PDF.");

// The window with its real boxes and dialogs, the demo archive's newest
// block shown and reported into the pane.
class RealDialogsTest : public WindowTest<QtUserPrompts> {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    window_->ToolButton6Click();
    state_.ArchiveFileName = std::string(TORVDOC_SAMPLES_DIR) + "/full.dat";
    window_->Button8Click();
    window_->But1Click();
  }
  void TearDown() override {
    WindowTest::TearDown();
    // Nothing of the boxes and dialogs outlives the test.
    EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty());
  }

  // The step that answers the print dialog: prints to `pdf`, or cancels.
  ModalAnswers::Step AnswerPrintDialog(const QString& pdf, bool accept) {
    return [this, pdf, accept](QWidget* modal) {
      auto* dialog = qobject_cast<QPrintDialog*>(modal);
      if (!dialog || !dialog->isVisible()) return false;
      scratchShownInDialog_ = Ui().RichEdit2->isVisible();
      if (!accept) {
        dialog->reject();
        return true;
      }
      // With no printer installed the dialog prints to a file; name it.
      if (auto* fileName = dialog->findChild<QLineEdit*>(QStringLiteral("filename"))) {
        fileName->setText(pdf);
      } else {
        ADD_FAILURE() << "the print dialog has no file name field";
      }
      dialog->accept();
      return true;
    };
  }

  bool scratchShownInDialog_ = false;
};

TEST_F(RealDialogsTest, PrintingWarnsOfTheMissingPrinterThenShowsTheDialog) {
  const bool noPrinter = QPrinterInfo::defaultPrinterName().isEmpty();
  if (!noPrinter) GTEST_SKIP() << "this machine has a default printer; the warning is not shown";
  const QString pdf = dir_.filePath(QStringLiteral("отчет.pdf"));
  std::vector<QString> boxes;
  ModalAnswers answers({ModalAnswers::CloseBox(boxes), AnswerPrintDialog(pdf, true)});
  QTest::mouseClick(Ui().But5, Qt::LeftButton);
  EXPECT_TRUE(answers.Done());
  EXPECT_EQ(boxes, std::vector<QString>{kNoPrinterWarning});
  EXPECT_FALSE(Ui().But5->isDown());
  EXPECT_EQ(testing::PdfTitle(pdf.toStdString()), "Печать всего архива");
}

TEST_F(RealDialogsTest, CancelledSelectionPrintShowsThePrintoutWhileTheDialogIsOpen) {
  QTextCursor cursor(Ui().RichEdit1->document()->findBlockByNumber(4));
  cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
  Ui().RichEdit1->setTextCursor(cursor);
  std::vector<QString> boxes;
  std::deque<ModalAnswers::Step> steps;
  if (QPrinterInfo::defaultPrinterName().isEmpty()) steps.push_back(ModalAnswers::CloseBox(boxes));
  steps.push_back(AnswerPrintDialog(QString(), false));
  ModalAnswers answers(std::move(steps));
  QTest::mouseClick(Ui().But5, Qt::LeftButton);
  EXPECT_TRUE(answers.Done());
  EXPECT_TRUE(scratchShownInDialog_);
  EXPECT_FALSE(Ui().RichEdit2->isVisible());
  EXPECT_EQ(Ui().RichEdit1->textCursor().selectedText(), cursor.selectedText());
  EXPECT_TRUE(QDir(dir_.path()).isEmpty());
}

TEST_F(RealDialogsTest, SaveDialogRefusesAFolderThatDoesNotExistAndStaysOpen) {
  const QString missing = dir_.filePath(QStringLiteral("нет такой"));
  const QString saved = dir_.filePath(QStringLiteral("отчет.rtf"));
  std::vector<QString> boxes;
  bool stayedOpen = false;
  auto typeAndAccept = [](const QString& name) {
    return [name](QWidget* modal) {
      auto* dialog = qobject_cast<QFileDialog*>(modal);
      if (!dialog || !dialog->isVisible()) return false;
      dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(name);
      static_cast<QDialog*>(dialog)->accept();  // as the "Save" button does
      return true;
    };
  };
  ModalAnswers answers({typeAndAccept(missing + QStringLiteral("/отчет.rtf")),
                        ModalAnswers::CloseBox(boxes),
                        [&stayedOpen](QWidget* modal) {
                          stayedOpen = qobject_cast<QFileDialog*>(modal) != nullptr;
                          return true;
                        },
                        typeAndAccept(saved)});
  window_->RunHandler([this] { window_->But4Click(); });
  EXPECT_TRUE(answers.Done());
  EXPECT_EQ(boxes, std::vector<QString>{MissingFolderText(missing)});
  EXPECT_EQ(boxes.at(0), missing + QStringLiteral("\nТакой папки нет.\nПроверьте путь."));
  EXPECT_TRUE(stayedOpen);
  EXPECT_FALSE(QFileInfo::exists(missing));
  EXPECT_EQ(cli_testing::ReadWholeFile(saved.toStdString()),
            testing::ValueOf(RtfDocument(Ui().RichEdit1->toPlainText().toStdString())));
  EXPECT_FALSE(Ui().GroupBoxPrint->isVisible());
}

TEST_F(RealDialogsTest, OpenSaysSoWhenNothingOpensTheReport) {
  // The offscreen platform has no desktop to hand documents to.
  const QString previous = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(dir_.path()));
  QFile file(QStringLiteral("отчет устр. 1.rtf"));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.close();
  std::vector<QString> boxes;
  ModalAnswers answers({ModalAnswers::CloseBox(boxes)});
  window_->But2Click();
  QDir::setCurrent(previous);
  EXPECT_TRUE(answers.Done());
  EXPECT_EQ(boxes, std::vector<QString>{QStringLiteral("Файл отчета не удалось открыть:\n") +
                                        dir_.filePath(QStringLiteral("отчет устр. 1.rtf")) +
                                        QStringLiteral("\nНет программы, которая открывает "
                                                       "файлы этого типа.")});
  EXPECT_FALSE(Ui().GroupBoxPrint->isVisible());
}

}  // namespace
}  // namespace torv
