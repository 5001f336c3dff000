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
#include "history_ui/qt_history_prompts.h"
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

TEST_F(HistoryDialogsTest, TheNamesDialogTakesAListedNameAndStoresTheChange) {
  FillStore(600);
  ASSERT_TRUE(test_.Open()->SetNames({{"3", history::NumberKind::kRelay, 2, "Сирена"}}).ok());
  window_->OpenStore(test_.location());
  window_->Ui().Kinds[0]->setChecked(false);
  window_->Ui().Kinds[1]->setChecked(false);
  window_->Ui().Kinds[3]->setChecked(false);
  window_->Ui().Kinds[4]->setChecked(false);
  ModalDriver driver;
  driver.Then([&](QWidget* modal) {
    NameDialog* dialog = As<NameDialog>(modal);
    if (dialog == nullptr) return false;
    QTableWidget* names = dialog->Names();
    EXPECT_EQ(names->rowCount(), 1);
    QTest::mouseClick(names->viewport(), Qt::LeftButton, {},
                      names->visualItemRect(names->item(0, 3)).center());
    EXPECT_EQ(dialog->Device()->currentText(), QStringLiteral("3"));
    EXPECT_EQ(dialog->Kind()->currentIndex(), 1);
    EXPECT_EQ(dialog->Number()->value(), 2);
    EXPECT_EQ(dialog->Name()->text(), QStringLiteral("Сирена"));
    dialog->Name()->setText(QStringLiteral("Сирена двора"));
    ClickOk(dialog->Buttons());
    return true;
  });
  window_->Ui().Names->trigger();
  EXPECT_EQ(driver.Left(), 0u);
  int named = 0;
  for (const auto& row : torv::testing::ShownRows(window_->Events())) {
    if (row[4] == "реле 2") {
      EXPECT_EQ(row[5], "Сирена двора");
      ++named;
    }
  }
  EXPECT_GT(named, 0);
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
    QTimer::singleShot(0, dialog->ChooseFilesButton(), [button = dialog->ChooseFilesButton()] {
      QTest::mouseClick(button, Qt::LeftButton);
    });
    return true;
  });
  driver.Then([&](QWidget* modal) {
    QFileDialog* chooser = As<QFileDialog>(modal);
    if (chooser == nullptr) return false;
    EXPECT_EQ(chooser->fileMode(), QFileDialog::ExistingFiles);
    chooser->setDirectory(QString::fromStdString(folder_.path().string()));
    QLineEdit* name = chooser->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    EXPECT_NE(name, nullptr);
    if (name != nullptr) name->setText(QStringLiteral("\"copy1.dat\" \"copy2.dat\""));
    QMetaObject::invokeMethod(chooser, "accept");
    return true;
  });
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

TEST_F(HistoryDialogsTest, AnotherStoreIsChosenInTheRealInputDialog) {
  FillStore(80);
  const std::string bad = folder_.Write("bad.sqlite3", std::vector<std::uint8_t>(1024, 'z'));
  ModalDriver driver;
  ShownBox refused;
  driver.Then(CloseBox(refused));
  window_->OpenStoreFrom(bad, {});
  EXPECT_EQ(refused.icon, QMessageBox::Warning);
  driver.Then([&](QWidget* modal) {
    QInputDialog* dialog = As<QInputDialog>(modal);
    if (dialog == nullptr) return false;
    EXPECT_EQ(dialog->textValue(), QString::fromStdString(bad));
    dialog->setTextValue(QString::fromStdString(test_.location().target));
    dialog->accept();
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
