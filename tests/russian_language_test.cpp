// Runs with LANG=C.UTF-8 (see CMakeLists.txt): the Russian texts must not
// depend on the system's language.
#include "ui/russian_language.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCalendarWidget>
#include <QDateEdit>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTranslator>

#include "archive/view_state.h"
#include "fake_user_prompts.h"
#include "qstring_printer.h"
#include "ui/tform_main.h"

namespace torv {
namespace {

class RussianLanguageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(QFile::exists(QtRussianTranslationPath()))
        << QtRussianTranslationPath().toStdString()
        << " is missing: install Debian's qt6-translations-l10n";
    ASSERT_TRUE(UseRussianLanguage(*qApp));
  }
  void TearDown() override {
    for (QTranslator* translator : qApp->findChildren<QTranslator*>()) {
      QCoreApplication::removeTranslator(translator);
      delete translator;
    }
    QLocale::setDefault(QLocale::c());
  }
};

TEST_F(RussianLanguageTest, QuestionBoxAnswersYesOrNoInRussian) {
  QMessageBox box(QMessageBox::Question, QStringLiteral("Выбор файла архива"),
                  QStringLiteral("Создать его?"), QMessageBox::Yes | QMessageBox::No);
  EXPECT_EQ(box.button(QMessageBox::Yes)->text(), QStringLiteral("&Да"));
  EXPECT_EQ(box.button(QMessageBox::No)->text(), QStringLiteral("&Нет"));
}

TEST_F(RussianLanguageTest, FileDialogSpeaksRussian) {
  QFileDialog dialog;
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  EXPECT_EQ(dialog.labelText(QFileDialog::FileName), QStringLiteral("&Имя файла:"));
  EXPECT_EQ(dialog.labelText(QFileDialog::FileType), QStringLiteral("Типы файлов:"));
  EXPECT_EQ(dialog.labelText(QFileDialog::Reject), QStringLiteral("Отмена"));
}

TEST_F(RussianLanguageTest, PrintDialogSpeaksRussian) {
  QPrinter printer;
  QPrintDialog dialog(&printer);
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Печать"));
}

TEST_F(RussianLanguageTest, PickerAndCalendarUseRussianNames) {
  ViewState state;
  testing::FakeUserPrompts prompts;
  TForm_main window(state, prompts);
  const QLocale locale = window.Ui().DateTimePicker2->calendarWidget()->locale();
  EXPECT_EQ(locale.language(), QLocale::Russian);
  EXPECT_EQ(locale.standaloneMonthName(3), QStringLiteral("март"));
  EXPECT_EQ(locale.dayName(1, QLocale::ShortFormat), QStringLiteral("пн"));
}

}  // namespace
}  // namespace torv
