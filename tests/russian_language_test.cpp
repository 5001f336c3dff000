// Runs with LANG=C.UTF-8 (see CMakeLists.txt): the Russian texts must not
// depend on the system's language.
#include "ui/russian_language.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCalendarWidget>
#include <QDateEdit>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTranslator>
#include <QTreeView>

#include "archive/view_state.h"
#include "fake_user_prompts.h"
#include "qstring_printer.h"
#include "ui/file_dialog_details.h"
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

// Under LANG=C Qt's file list shows "Folder" and "9 Dec 2026"; the
// program's dialogs show the type in Russian and the date as the tables do.
TEST_F(RussianLanguageTest, FileDialogShowsTypesAndDatesInRussian) {
  QTemporaryDir folder;
  ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("gate")));
  QFile copy(folder.filePath(QStringLiteral("copy.dat")));
  ASSERT_TRUE(copy.open(QIODevice::WriteOnly));
  const QDateTime modified(QDate(2024, 3, 5), QTime(14, 7));
  ASSERT_TRUE(copy.setFileTime(modified, QFileDevice::FileModificationTime));
  copy.close();
  QFileDialog dialog(nullptr, QString(), folder.path());
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  ShowFileDetailsInRussian(dialog);
  dialog.setViewMode(QFileDialog::Detail);
  auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
  ASSERT_NE(view, nullptr);
  QAbstractItemModel* model = view->model();
  // The file system is read in the background.
  const QModelIndex root = view->rootIndex();
  QElapsedTimer waited;
  waited.start();
  while (model->rowCount(root) < 2 && waited.elapsed() < 5000) QCoreApplication::processEvents();
  ASSERT_EQ(model->rowCount(root), 2);
  QStringList rows;
  for (int row = 0; row < model->rowCount(root); ++row) {
    QStringList cells;
    for (const int column : {0, 2})
      cells.push_back(model->index(row, column, root).data().toString());
    rows.push_back(cells.join(u'|'));
  }
  rows.sort();
  EXPECT_EQ(rows, QStringList({QStringLiteral("copy.dat|Файл DAT"), QStringLiteral("gate|Папка")}));
  const int fileRow = model->index(0, 0, root).data() == QStringLiteral("copy.dat") ? 0 : 1;
  EXPECT_EQ(model->index(fileRow, 3, root).data().toString(), QStringLiteral("05.03.2024 14:07"));
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
