#include "history_ui/qt_history_prompts.h"

// Qt
#include <QApplication>
#include <QFontMetrics>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>

// Std
#include <algorithm>

#include "history_ui/copies_dialog.h"
#include "history_ui/history_dialogs.h"
#include "history_ui/names_dialog.h"
#include "history_ui/store_dialog.h"

namespace torv {
namespace {

class DialogProgress final : public ImportProgress {
 public:
  DialogProgress(QWidget* owner, int files)
      : dialog_(QStringLiteral("Импорт копий…"), QStringLiteral("Прервать"), 0, files, owner) {
    dialog_.setWindowTitle(QStringLiteral("Импорт копий"));
    dialog_.setWindowModality(Qt::WindowModal);
    dialog_.setMinimumDuration(0);
    dialog_.setAutoClose(false);
    dialog_.setAutoReset(false);
    dialog_.setValue(0);
  }
  bool Advance(int done, const QString& next) override {
    dialog_.setLabelText(QStringLiteral("Импорт файла %1 из %2:\n%3")
                             .arg(done + 1)
                             .arg(dialog_.maximum())
                             .arg(next));
    dialog_.setValue(done);
    // A click on the cancel button is seen here, between two copies: the
    // copy being imported is never cut short.
    QApplication::processEvents();
    return !dialog_.wasCanceled();
  }
  void Finish() override {
    dialog_.setValue(dialog_.maximum());
    dialog_.hide();
  }

 private:
  QProgressDialog dialog_;
};

}  // namespace

void QtHistoryPrompts::ShowInformation(const QString& title, const QString& text) {
  common_.ShowInformation(title, text);
}

void QtHistoryPrompts::ShowWarning(const QString& title, const QString& text) {
  common_.ShowWarning(title, text);
}

bool QtHistoryPrompts::Confirm(const QString& title, const QString& text) {
  QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, owner_);
  // Named here, not by Qt's translation: a box that asks before a removal
  // must not offer English buttons where that translation is missing.
  box.button(QMessageBox::Yes)->setText(QStringLiteral("Да"));
  box.button(QMessageBox::No)->setText(QStringLiteral("Нет"));
  box.setDefaultButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

std::optional<QString> QtHistoryPrompts::AskText(const QString& title, const QString& label,
                                                 const QString& initial) {
  QInputDialog dialog(owner_);
  dialog.setWindowTitle(title);
  dialog.setLabelText(label);
  dialog.setTextValue(initial);
  // Sized to its label alone, the dialog cut a title such as "Переименование
  // устройства" short in the title bar. Its field (the dialog's layout keeps
  // the dialog as wide as its widest part) leaves room for the title, mostly
  // bold, and the window manager's buttons beside it; a reason is seldom
  // short either.
  QFont titleFont = dialog.font();
  titleFont.setBold(true);
  if (auto* field = dialog.findChild<QLineEdit*>()) {
    field->setMinimumWidth(std::max(360, QFontMetrics(titleFont).horizontalAdvance(title) + 120));
  }
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.textValue();
}

std::optional<ImportRequest> QtHistoryPrompts::AskImport(const ImportChoices& choices) {
  ImportDialog dialog(choices, owner_);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Request();
}

std::unique_ptr<ImportProgress> QtHistoryPrompts::StartImportProgress(int files) {
  return std::make_unique<DialogProgress>(owner_, files);
}

void QtHistoryPrompts::ShowImportResults(const QStringList& lines, bool anyFailed) {
  ImportResultsDialog dialog(lines, anyFailed, owner_);
  dialog.exec();
}

std::optional<std::vector<std::int64_t>> QtHistoryPrompts::AskCopiesToWithdraw(
    const CopiesChoices& choices) {
  CopiesDialog dialog(choices, owner_);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.ChosenIds();
}

std::optional<QString> QtHistoryPrompts::AskStore(const QString& current) {
  StoreDialog dialog(current, owner_);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Store();
}

std::optional<std::vector<history::NameEntry>> QtHistoryPrompts::AskNames(
    const NameChoices& choices) {
  NamesDialog dialog(choices, owner_);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.ChangedNames();
}

std::optional<FileDialogAnswer> QtHistoryPrompts::AskExportFile(const FileDialogRequest& request) {
  return common_.AskSaveFileName(request);
}

bool QtHistoryPrompts::ConfirmPrint(QPrinter& printer) {
  return common_.ConfirmPrint(printer);
}

void QtHistoryPrompts::ShowPrintPreview(QPrinter& printer,
                                        const std::function<void(QPrinter&)>& paint) {
  QPrintPreviewDialog dialog(&printer, owner_);
  dialog.setWindowTitle(QStringLiteral("Предварительный просмотр"));
  QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested,
                   [&paint](QPrinter* target) { paint(*target); });
  dialog.resize(900, 800);
  dialog.exec();
}

}  // namespace torv
