// The history window with its real boxes and dialogs, each run in its own
// event loop while another command is under way, and answered from a timer
// as a person would answer it.
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include "history/archive_copy.h"
#include "history_report/history_summaries.h"
#include "history_test_support.h"
#include "history_ui/copies_dialog.h"
#include "history_ui/history_dialogs.h"
#include "history_ui/history_window.h"
#include "history_ui/names_dialog.h"
#include "history_ui/qt_history_prompts.h"
#include "history_ui/store_dialog.h"
#include "history_window_support.h"

namespace torv {
namespace {

using history::testing::Backend;
using history::testing::TestStore;
using torv::testing::ModalDriver;
using torv::testing::QFiles;
using torv::testing::TempFolder;
using torv::testing::WriteCopies;

template <typename T>
T* As(QWidget* widget) {
  return qobject_cast<T*>(widget);
}

// What a message box showed before a click on its OK button closed it.
struct ShownBox {
  QString title;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
};

ModalDriver::Step CloseBox(ShownBox& shown) {
  return [&shown](QWidget* modal) {
    QMessageBox* box = As<QMessageBox>(modal);
    if (box == nullptr) return false;
    shown = {box->windowTitle(), box->text(), box->icon()};
    QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    return true;
  };
}

// The import's results: every line of the list, then the totals on top, as
// the lines the window gave it; closed with its OK button.
ModalDriver::Step CloseImportResults(ShownBox& shown) {
  return [&shown](QWidget* modal) {
    auto* dialog = dynamic_cast<ImportResultsDialog*>(modal);
    if (dialog == nullptr) return false;
    shown = {dialog->windowTitle(), (dialog->Lines() << dialog->Summary()).join(u'\n')};
    QTest::mouseClick(dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok),
                      Qt::LeftButton);
    return true;
  };
}

void ClickOk(QDialogButtonBox* buttons) {
  QTest::mouseClick(buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
}

// Clicks `button` from its dialog's own event loop, once the step that
// asked for it has returned: the dialog it opens runs a loop of its own.
void ClickSoon(QAbstractButton* button) {
  QTimer::singleShot(0, button, [button] { QTest::mouseClick(button, Qt::LeftButton); });
}

// The file dialog over another: `names` typed into its name field in
// `folder`, and accepted; it opened where `openedIn` says, when given.
ModalDriver::Step ChooseInFileDialog(const std::filesystem::path& folder, const QString& names,
                                     const std::optional<QString>& openedIn = std::nullopt) {
  return [folder, names, openedIn](QWidget* modal) {
    QFileDialog* chooser = As<QFileDialog>(modal);
    if (chooser == nullptr) return false;
    if (openedIn) {
      EXPECT_EQ(chooser->directory().absolutePath(), *openedIn);
    }
    chooser->setDirectory(QString::fromStdString(folder.string()));
    QLineEdit* name = chooser->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    EXPECT_NE(name, nullptr);
    if (name != nullptr) name->setText(names);
    QMetaObject::invokeMethod(chooser, "accept");
    return true;
  };
}

// The text dialog: the text it starts with, then `text` set in its place and accepted.
ModalDriver::Step AnswerText(QString& initial, const QString& text) {
  return [&initial, text](QWidget* modal) {
    QInputDialog* dialog = As<QInputDialog>(modal);
    if (dialog == nullptr) return false;
    initial = dialog->textValue();
    dialog->setTextValue(text);
    dialog->accept();
    return true;
  };
}

// The question box's text, then Yes clicked, or Enter (the default) pressed.
ModalDriver::Step AnswerQuestion(QString& text, bool clickYes) {
  return [&text, clickYes](QWidget* modal) {
    QMessageBox* box = As<QMessageBox>(modal);
    if (box == nullptr || box->icon() != QMessageBox::Question) return false;
    text = box->text();
    if (clickYes) {
      EXPECT_EQ(box->button(QMessageBox::Yes)->text(), QStringLiteral("Да"));
      QTest::mouseClick(box->button(QMessageBox::Yes), Qt::LeftButton);
    } else {
      QTest::keyClick(box, Qt::Key_Return);
    }
    return true;
  };
}

class HistoryDialogsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString((folder_.path() / "config").string()));
    window_ = std::make_unique<HistoryWindow>(prompts_);
    prompts_.SetOwner(window_.get());
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
  }
  void TearDown() override {
    window_.reset();
    // Nothing the test opened outlives it.
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      EXPECT_FALSE(widget->isVisible()) << widget->metaObject()->className();
    }
  }

  std::vector<std::string> Copies(const std::vector<int>& writes) {
    history::SimulationOptions options;
    options.seed = 12;
    history::SimulatedDevice device(options);
    return WriteCopies(folder_, device, writes, "copy");
  }
  // A store of one device "3" with `events` events of a simulated device.
  void FillStore(int events) {
    auto store = test_.Open();
    ASSERT_TRUE(store);
    history::SimulationOptions options;
    history::SimulatedDevice device(options);
    device.Write(events);
    ASSERT_TRUE(store->Import("3", device.CopyNow()).ok());
  }
  // The import dialog filled in and accepted.
  static ModalDriver::Step FillImportDialog(const QStringList& files, const QString& device,
                                            bool force = false) {
    return [files, device, force](QWidget* modal) {
      ImportDialog* dialog = As<ImportDialog>(modal);
      if (dialog == nullptr) return false;
      EXPECT_FALSE(dialog->Buttons()->button(QDialogButtonBox::Ok)->isEnabled());
      EXPECT_FALSE(dialog->ForceDevice()->isChecked());
      dialog->AddFiles(files);
      dialog->Device()->setCurrentText(device);
      if (force) QTest::mouseClick(dialog->ForceDevice(), Qt::LeftButton);
      ClickOk(dialog->Buttons());
      return true;
    };
  }

  TempFolder folder_;
  TestStore test_{Backend::kSqlite};
  QtHistoryPrompts prompts_;
  std::unique_ptr<HistoryWindow> window_;
};

TEST_F(HistoryDialogsTest, ImportThroughTheRealDialogProgressAndResultBox) {
  const std::vector<std::string> files = Copies({200, 1400});
  window_->OpenStore(test_.location());
  ModalDriver driver;
  driver.Then(FillImportDialog(QFiles(files), QStringLiteral("3")));
  int progressSeen = 0;
  driver.Then([&](QWidget* modal) {
    if (As<QProgressDialog>(modal) == nullptr) return false;
    ++progressSeen;
    return true;
  });
  ShownBox result;
  driver.Then(CloseImportResults(result));
  QTest::keyClick(window_.get(), Qt::Key_O, Qt::ControlModifier);
  EXPECT_EQ(driver.Left(), 0u);
  EXPECT_EQ(progressSeen, 1);
  TestStore reference(Backend::kSqlite);
  auto store = reference.Open();
  QStringList expected;
  ImportTotals totals;
  for (const std::string& file : files) {
    Result<history::ImportOutcome> outcome =
        history::ImportArchiveFile(*store, "3", file, std::nullopt);
    ASSERT_TRUE(outcome.ok());
    expected.push_back(QString::fromStdString(ImportLine(file, *outcome, ImportWording::kWindow)));
    ++totals.files;
    totals.Add(*outcome);
  }
  expected.push_back(QString::fromStdString(ImportTotalsLine(totals, ImportWording::kWindow)));
  EXPECT_EQ(result.text, expected.join(u'\n'));
  EXPECT_TRUE(
      result.text.endsWith(QStringLiteral("Файлов: 2; новых событий: 1224, уже "
                                          "хранилось: 0, пропусков: 1, не принято: 0")))
      << result.text.toStdString();
  EXPECT_EQ(result.title, QStringLiteral("Импорт копий"));
  EXPECT_EQ(window_->Ui().Devices->topLevelItemCount(), 2);
  EXPECT_GT(window_->Events().rowCount(), 1000);
}

// Another device's file is refused, unless the operator vouches for it in
// the dialog; then it is stored, marked forced.
TEST_F(HistoryDialogsTest, ACopyRefusedAsAnotherDevicesIsStoredWhenVouchedFor) {
  const std::vector<std::string> files = Copies({300});
  window_->OpenStore(test_.location());
  for (const auto& [device, force] :
       {std::pair{"3", false}, std::pair{"4", false}, std::pair{"4", true}}) {
    SCOPED_TRACE(std::string(device) + (force ? " forced" : ""));
    ModalDriver driver;
    driver.Then(FillImportDialog(QFiles(files), QString::fromUtf8(device), force));
    ShownBox result;
    driver.Then(CloseImportResults(result));
    window_->ImportCopies();
    EXPECT_EQ(driver.Left(), 0u);
    const bool refused = std::string(device) == "4" && !force;
    EXPECT_EQ(result.text.contains(QStringLiteral("копия другого устройства?")), refused)
        << result.text.toStdString();
  }
  Result<std::vector<history::KeptCopy>> kept = test_.Open()->Copies(std::nullopt);
  ASSERT_TRUE(kept.ok());
  ASSERT_EQ(kept->size(), 2u);
  EXPECT_EQ(std::tie((*kept)[0].device, (*kept)[0].forced), std::tuple(std::string("3"), false));
  EXPECT_EQ(std::tie((*kept)[1].device, (*kept)[1].forced), std::tuple(std::string("4"), true));
}

TEST_F(HistoryDialogsTest, TheProgressDialogsCancelStopsBetweenCopies) {
  const std::vector<std::string> files = Copies({100, 100, 100, 100});
  window_->OpenStore(test_.location());
  ModalDriver driver;
  driver.Then(FillImportDialog(QFiles(files), QStringLiteral("7")));
  int valueAtCancel = -1;
  driver.Then([&](QWidget* modal) {
    QProgressDialog* progress = As<QProgressDialog>(modal);
    if (progress == nullptr || progress->value() < 1) return false;
    valueAtCancel = progress->value();
    QPushButton* cancel = progress->findChild<QPushButton*>();
    EXPECT_NE(cancel, nullptr);
    EXPECT_EQ(cancel->text(), QStringLiteral("Прервать"));
    QTest::mouseClick(cancel, Qt::LeftButton);
    return true;
  });
  ShownBox result;
  driver.Then(CloseImportResults(result));
  window_->ImportCopies();
  EXPECT_EQ(driver.Left(), 0u);
  // The click lands between two copies: after the first, or a later one on a
  // busy machine. What was imported before it stays, nothing after it comes.
  ASSERT_GE(valueAtCancel, 1);
  ASSERT_LE(valueAtCancel, 3);
  const QStringList lines = result.text.split(u'\n');
  ASSERT_EQ(lines.size(), valueAtCancel + 2);
  for (int i = 0; i < valueAtCancel; ++i) {
    EXPECT_TRUE(lines[i].startsWith(QString::fromStdString(files[static_cast<std::size_t>(i)]) +
                                    QStringLiteral(": новых событий 100")));
  }
  EXPECT_EQ(
      lines[valueAtCancel],
      QStringLiteral("Импорт прерван: не импортировано файлов: %1 из 4.").arg(4 - valueAtCancel));
  EXPECT_TRUE(lines.back().startsWith(QStringLiteral("Файлов: %1; ").arg(valueAtCancel)) &&
              lines.back().endsWith(QStringLiteral(", пропусков: 0, не принято: 0")))
      << lines.back().toStdString();
  EXPECT_EQ(window_->Ui().Devices->topLevelItem(1)->text(2), QString::number(valueAtCancel));
  EXPECT_EQ(window_->Events().EventCount(), 100 * valueAtCancel);
}

// Several names typed into the table and more from a CSV file chosen in a
// file dialog over it are stored together; the table goes out as a file too.
TEST_F(HistoryDialogsTest, TheNamesTableStoresWhatWasTypedAndReadFromAFile) {
  FillStore(600);
  ASSERT_TRUE(test_.Open()->SetNames({{"3", history::NumberKind::kRelay, 2, "Сирена"}}).ok());
  const std::string text = "устройство;вид;номер;название\n3;input;2;Ворота\n9;input;1;Чужое\n";
  const std::string csv = folder_.Write("names.csv", {text.begin(), text.end()});
  window_->OpenStore(test_.location());
  window_->ChooseDevice(QStringLiteral("3"));
  const QString exported = QString::fromStdString((folder_.path() / "out.csv").string());
  ModalDriver driver;
  QStringList shown;
  driver.Then([&](QWidget* modal) {
    NamesDialog* dialog = As<NamesDialog>(modal);
    if (dialog == nullptr) return false;
    QTableWidget* table = dialog->Table();
    // The 32 inputs, then each relay that fired or was named.
    EXPECT_EQ(table->item(31, NamesDialog::kNumber)->text(), QStringLiteral("32"));
    int relay2 = 32;
    while (relay2 < table->rowCount() &&
           table->item(relay2, NamesDialog::kNumber)->text() != QStringLiteral("2")) {
      ++relay2;
    }
    EXPECT_EQ(table->item(relay2, NamesDialog::kKind)->text(), QStringLiteral("реле"));
    EXPECT_EQ(table->item(relay2, NamesDialog::kName)->text(), QStringLiteral("Сирена"));
    table->setCurrentCell(3, NamesDialog::kName);
    table->editItem(table->item(3, NamesDialog::kName));
    auto* editor = table->viewport()->findChild<QLineEdit*>();
    EXPECT_NE(editor, nullptr);
    if (editor != nullptr) {
      editor->setText(QStringLiteral("Склад"));
      QTest::keyClick(editor, Qt::Key_Return);
    }
    table->item(relay2, NamesDialog::kName)->setText(QString());
    for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
      if (button->text() == QStringLiteral("Из файла CSV…")) ClickSoon(button);
    }
    return true;
  });
  driver.Then(ChooseInFileDialog(folder_.path(), QStringLiteral("names.csv")));
  driver.Then([&](QWidget* modal) {
    NamesDialog* dialog = As<NamesDialog>(modal);
    if (dialog == nullptr || dialog->Note()->text().isEmpty()) return false;
    shown = {dialog->Note()->text(), dialog->Table()->item(1, NamesDialog::kName)->text()};
    dialog->ExportFile(exported, ';');
    ClickOk(dialog->Buttons());
    return true;
  });
  window_->Ui().Names->trigger();
  EXPECT_EQ(driver.Left(), 0u);
  EXPECT_EQ(shown, QStringList({QStringLiteral("Из файла взято названий: 1 (сохраняются кнопкой "
                                               "«Сохранить»).\nНе взяты названия устройств, "
                                               "которых нет в хранилище: 9."),
                                QStringLiteral("Ворота")}));
  Result<std::vector<history::NameEntry>> names = window_->Session().Reader()->Names();
  ASSERT_TRUE(names.ok());
  EXPECT_EQ(*names,
            (std::vector<history::NameEntry>{{"3", history::NumberKind::kInput, 2, "Ворота"},
                                             {"3", history::NumberKind::kInput, 4, "Склад"}}));
  EXPECT_EQ(cli_testing::ReadWholeFile(exported.toStdString()),
            "\xEF\xBB\xBF"
            "device;kind;number;name\r\n3;input;2;Ворота\r\n3;input;4;Склад\r\n");
}

TEST_F(HistoryDialogsTest, AStoreThatCannotBeOpenedShowsARealWarningBox) {
  const std::string bad = folder_.Write("bad.sqlite3", std::vector<std::uint8_t>(2048, 'y'));
  ModalDriver driver;
  ShownBox warning;
  driver.Then(CloseBox(warning));
  window_->OpenStoreFrom(bad, {});
  EXPECT_EQ(driver.Left(), 0u);
  EXPECT_EQ(warning.icon, QMessageBox::Warning);
  const QString text = warning.text;
  EXPECT_TRUE(text.startsWith(QStringLiteral("Хранилище истории не открывается.\n")));
  EXPECT_TRUE(window_->isVisible());
}

TEST_F(HistoryDialogsTest, ThePrintPreviewShowsTheReportsPages) {
  FillStore(300);
  window_->OpenStore(test_.location());
  ModalDriver driver;
  int pages = 0;
  driver.Then([&](QWidget* modal) {
    QPrintPreviewDialog* preview = As<QPrintPreviewDialog>(modal);
    if (preview == nullptr) return false;
    QPrintPreviewWidget* widget = preview->findChild<QPrintPreviewWidget*>();
    if (widget == nullptr || widget->pageCount() == 0) return false;
    pages = widget->pageCount();
    preview->reject();
    return true;
  });
  window_->Ui().Preview->trigger();
  EXPECT_EQ(driver.Left(), 0u);
  EXPECT_GE(pages, 7);  // 300 events, about 45 a page
}

TEST_F(HistoryDialogsTest, ExportThroughTheRealSaveDialog) {
  FillStore(50);
  window_->OpenStore(test_.location());
  const std::string path = (folder_.path() / "выгрузка.json").string();
  ModalDriver driver;
  driver.Then([&](QWidget* modal) {
    QFileDialog* dialog = As<QFileDialog>(modal);
    if (dialog == nullptr) return false;
    dialog->selectNameFilter(QStringLiteral("JSON (*.json)"));
    dialog->selectFile(QString::fromStdString(path));
    QMetaObject::invokeMethod(dialog, "accept");
    return true;
  });
  window_->ExportListing();
  EXPECT_EQ(driver.Left(), 0u);
  std::string expected;
  ASSERT_TRUE(WriteJsonList(*window_->Session().Reader(), {}, [&](std::string_view p) {
                expected += p;
              }).ok());
  EXPECT_EQ(cli_testing::ReadWholeFile(path), expected);
}

TEST_F(HistoryDialogsTest, TheImportDialogsFileChooserOpensOverItAndAddsTheChosenFiles) {
  const std::vector<std::string> files = Copies({150, 150});
  window_->OpenStore(test_.location());
  ModalDriver driver;
  driver.Then([](QWidget* modal) {
    ImportDialog* dialog = As<ImportDialog>(modal);
    if (dialog == nullptr) return false;
    dialog->Device()->setCurrentText(QStringLiteral("5"));
    // Clicked from the dialog's own loop, not from inside this step.
    ClickSoon(dialog->ChooseFilesButton());
    return true;
  });
  driver.Then(ChooseInFileDialog(folder_.path(), QStringLiteral("\"copy1.dat\" \"copy2.dat\"")));
  driver.Then([&](QWidget* modal) {
    ImportDialog* dialog = As<ImportDialog>(modal);
    if (dialog == nullptr || dialog->Files()->count() == 0) return false;
    EXPECT_EQ(dialog->Request().files, QFiles(files));
    ClickOk(dialog->Buttons());
    return true;
  });
  ShownBox result;
  driver.Then(CloseImportResults(result));
  window_->ImportCopies();
  EXPECT_EQ(driver.Left(), 0u);
  EXPECT_EQ(result.text.count(u'\n'), 2);  // two files and the totals
  EXPECT_EQ(window_->Ui().Devices->topLevelItem(1)->text(0), QStringLiteral("5"));
  EXPECT_EQ(window_->Ui().Devices->topLevelItem(1)->text(2), QStringLiteral("2"));
}

// A site's folder of one device's copies: the dialog takes its files,
// proposes its device over the one chosen in the window, and warns while
// another device is typed.
TEST_F(HistoryDialogsTest, AFolderChosenOverTheImportDialogProposesItsDevice) {
  FillStore(100);
  std::filesystem::create_directory(folder_.path() / "gate");
  const std::vector<std::string> files = Copies({150, 150});
  std::vector<std::string> moved;
  for (const std::string& file : files) {
    moved.push_back((folder_.path() / "gate" / std::filesystem::path(file).filename()).string());
    std::filesystem::rename(file, moved.back());
  }
  ASSERT_TRUE(history::ImportArchiveFile(*test_.Open(), "gate", moved[0], std::nullopt).ok());
  window_->OpenStore(test_.location());
  window_->ChooseDevice(QStringLiteral("3"));
  ModalDriver driver;
  driver.Then([](QWidget* modal) {
    ImportDialog* dialog = As<ImportDialog>(modal);
    if (dialog == nullptr) return false;
    EXPECT_EQ(dialog->Device()->currentText(), QStringLiteral("3"));
    ClickSoon(dialog->ChooseFolderButton());
    return true;
  });
  driver.Then([&](QWidget* modal) {
    QFileDialog* chooser = As<QFileDialog>(modal);
    if (chooser == nullptr) return false;
    EXPECT_EQ(chooser->fileMode(), QFileDialog::Directory);
    chooser->setDirectory(QString::fromStdString((folder_.path() / "gate").string()));
    QMetaObject::invokeMethod(chooser, "accept");
    return true;
  });
  QStringList warnings;
  driver.Then([&](QWidget* modal) {
    ImportDialog* dialog = As<ImportDialog>(modal);
    if (dialog == nullptr || dialog->Files()->count() == 0) return false;
    EXPECT_EQ(dialog->Request().files, QFiles(moved));
    EXPECT_EQ(dialog->Device()->currentText(), QStringLiteral("gate"));
    warnings.push_back(dialog->Warning()->text());
    dialog->Device()->lineEdit()->selectAll();
    QTest::keyClicks(dialog->Device()->lineEdit(), QStringLiteral("3"));
    warnings.push_back(dialog->Warning()->text());
    // Once chosen, more files propose nothing.
    dialog->AddFiles({QString::fromStdString(moved[1])});
    EXPECT_EQ(dialog->Device()->currentText(), QStringLiteral("3"));
    dialog->Device()->setCurrentText(QStringLiteral("gate"));
    ClickOk(dialog->Buttons());
    return true;
  });
  ShownBox result;
  driver.Then(CloseImportResults(result));
  window_->ImportCopies();
  EXPECT_EQ(driver.Left(), 0u);
  EXPECT_EQ(warnings, QStringList({QString(), QStringLiteral("Похоже, это копии другого "
                                                             "устройства, не «3»:\n"
                                                             "gate/copy1.dat — «gate»\n"
                                                             "gate/copy2.dat — «gate»")}));
  Result<std::vector<history::KeptCopy>> copies = window_->Session().Reader()->Copies("gate");
  ASSERT_TRUE(copies.ok());
  EXPECT_EQ(copies->size(), 2u);
}

TEST_F(HistoryDialogsTest, AnotherStoreIsChosenInAFileDialogOverTheStoreDialog) {
  FillStore(80);
  const std::string bad = folder_.Write("bad.sqlite3", std::vector<std::uint8_t>(1024, 'z'));
  ModalDriver driver;
  ShownBox refused;
  driver.Then(CloseBox(refused));
  window_->OpenStoreFrom(bad, {});
  EXPECT_EQ(refused.icon, QMessageBox::Warning);
  const std::filesystem::path store = test_.location().target;
  driver.Then([&](QWidget* modal) {
    StoreDialog* dialog = As<StoreDialog>(modal);
    if (dialog == nullptr) return false;
    EXPECT_EQ(dialog->Field()->text(), QString::fromStdString(bad));
    ClickSoon(dialog->ChooseFileButton());
    return true;
  });
  // The file dialog opens where the store shown lies.
  driver.Then(ChooseInFileDialog(store.parent_path(),
                                 QString::fromStdString(store.filename().string()),
                                 QString::fromStdString(folder_.path().string())));
  driver.Then([&](QWidget* modal) {
    StoreDialog* dialog = As<StoreDialog>(modal);
    if (dialog == nullptr || dialog->Field()->text() == QString::fromStdString(bad)) return false;
    EXPECT_EQ(dialog->Field()->text(), QString::fromStdString(store.string()));
    ClickOk(dialog->Buttons());
    return true;
  });
  window_->Ui().ChooseStore->trigger();
  EXPECT_EQ(driver.Left(), 0u);
  EXPECT_EQ(window_->Events().EventCount(), 80);
  EXPECT_EQ(window_->Ui().StoreLabel->text(),
            QStringLiteral("Хранилище: ") + QString::fromStdString(test_.location().shown));
}

TEST_F(HistoryDialogsTest, ThePrintDialogCancelledPrintsNothing) {
  FillStore(40);
  window_->OpenStore(test_.location());
  ModalDriver driver;
  bool asked = false;
  driver.Then([&](QWidget* modal) {
    QPrintDialog* dialog = As<QPrintDialog>(modal);
    if (dialog == nullptr) return false;
    asked = true;
    dialog->reject();
    return true;
  });
  QTest::keyClick(window_.get(), Qt::Key_P, Qt::ControlModifier);
  EXPECT_EQ(driver.Left(), 0u);
  EXPECT_TRUE(asked);
}

TEST_F(HistoryDialogsTest, CopiesAreWithdrawnFromTheRealListReasonAndQuestion) {
  const std::vector<std::string> files = Copies({300, 200, 100});
  {
    auto store = test_.Open();
    for (const std::string& file : files) {
      ASSERT_TRUE(history::ImportArchiveFile(*store, "3", file, std::nullopt).ok());
    }
    ASSERT_TRUE(store->Withdraw({1}, "").ok());
  }
  window_->OpenStore(test_.location());
  window_->ChooseDevice(QStringLiteral("3"));
  ModalDriver driver;
  driver.Then([](QWidget* modal) {
    CopiesDialog* dialog = As<CopiesDialog>(modal);
    if (dialog == nullptr) return false;
    // The withdrawn copy cannot be chosen; the others can, together.
    dialog->Table()->selectAll();
    EXPECT_EQ(dialog->ChosenIds(), std::vector<std::int64_t>({2, 3}));
    dialog->Table()->clearSelection();
    EXPECT_FALSE(dialog->WithdrawButton()->isEnabled());
    dialog->Table()->selectRow(2);
    QTest::mouseClick(dialog->WithdrawButton(), Qt::LeftButton);
    return true;
  });
  QString reason, question;
  driver.Then(AnswerText(reason, QStringLiteral("копия с чужого прибора")));
  driver.Then(AnswerQuestion(question, true));
  ShownBox result;
  driver.Then(CloseBox(result));
  window_->Ui().Copies->trigger();
  EXPECT_EQ(driver.Left(), 0u);
  EXPECT_TRUE(question.contains(QStringLiteral("\n№ 3 — ") + QString::fromStdString(files[2])));
  EXPECT_EQ(result.text, QStringLiteral("3: 600 events before, 500 after, 1 copy left"));
  EXPECT_EQ(window_->Events().EventCount(), 500);
}

TEST_F(HistoryDialogsTest, ADeviceIsRenamedThenRemovedThroughTheRealDialogs) {
  FillStore(120);
  window_->OpenStore(test_.location());
  window_->ChooseDevice(QStringLiteral("3"));
  ModalDriver driver;
  QString initialName, question;
  driver.Then(AnswerText(initialName, QStringLiteral("Пост 3")));
  driver.Then(AnswerQuestion(question, true));
  window_->Ui().RenameDevice->trigger();
  EXPECT_EQ(initialName, QStringLiteral("3"));
  EXPECT_EQ(question, QStringLiteral("Переименовать устройство «3» в «Пост 3»?"));
  EXPECT_EQ(window_->ChosenDevice(), QStringLiteral("Пост 3"));
  EXPECT_EQ(window_->Events().EventCount(), 120);
  // Enter at the question is No: nothing is removed until Да is clicked.
  for (int i = 0; i < 2; ++i) {
    QString reason;
    driver.Then(AnswerText(reason, QStringLiteral("снят с охраны")));
    driver.Then(AnswerQuestion(question, i == 1));
    window_->Ui().RemoveDevice->trigger();
    EXPECT_EQ(window_->Ui().Devices->topLevelItemCount(), 2 - i);
  }
  EXPECT_EQ(driver.Left(), 0u);
  EXPECT_EQ(question,
            QStringLiteral("Удалить устройство «Пост 3»?\nБудут удалены событий: 120, копий: 1, "
                           "и названия его входов и реле.\n\nУдаление нельзя отменить."));
  EXPECT_EQ(window_->ChosenDevice(), std::nullopt);
  EXPECT_FALSE(window_->Ui().RemoveDevice->isEnabled());
  EXPECT_EQ(window_->Session().Reader()->Journal()->back().reason, "снят с охраны");
}

}  // namespace
}  // namespace torv
