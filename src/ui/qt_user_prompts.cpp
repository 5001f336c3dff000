#include "ui/qt_user_prompts.h"

// Qt
#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSpacerItem>
#include <QUrl>

#include "ui/file_dialog_details.h"

namespace torv {
namespace {

// Room that a window manager's title bar takes beside the title: the
// window's icon and its minimise, maximise and close buttons.
constexpr int kTitleBarControlsWidth = 140;

// A box sizes itself to its text, and a text as short as "Ошибка ввода" left
// the title bar too narrow even for "torvdoc". A spacer across the box's
// grid keeps it as wide as its title needs; title bars are mostly bold.
void LeaveRoomForTitle(QMessageBox& box) {
  auto* grid = qobject_cast<QGridLayout*>(box.layout());
  if (grid == nullptr) return;
  QFont titleFont = box.font();
  titleFont.setBold(true);
  const int width =
      QFontMetrics(titleFont).horizontalAdvance(box.windowTitle()) + kTitleBarControlsWidth;
  grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Fixed, QSizePolicy::Minimum),
                grid->rowCount(), 0, 1, grid->columnCount());
}

// The boxes have no owner window, so Qt centres them on the screen.
std::unique_ptr<QMessageBox> MakeBox(QMessageBox::Icon icon, const QString& title,
                                     const QString& text) {
  auto box = std::make_unique<QMessageBox>(icon, title, text, QMessageBox::Ok);
  box->setWindowModality(Qt::ApplicationModal);
  LeaveRoomForTitle(*box);
  return box;
}

// The open dialog asks before it accepts the name of a file that does not
// exist; nothing is created either way.
class ArchiveOpenDialog : public QFileDialog {
 public:
  using QFileDialog::QFileDialog;

 protected:
  void accept() override {
    const QStringList files = selectedFiles();
    if (!files.isEmpty() && !QFileInfo(files.first()).isDir() &&
        !QFileInfo::exists(files.first())) {
      const QString question = files.first() + QStringLiteral(
                                                   "\nЭтот файл не существует.\n"
                                                   "Создать его?");
      if (QMessageBox::question(this, windowTitle(), question) != QMessageBox::Yes) return;
    }
    QFileDialog::accept();
  }
};

// The save dialog accepts only a name in a folder that exists; Qt's own
// would accept any and leave the save to fail afterwards.
class ReportSaveDialog : public QFileDialog {
 public:
  using QFileDialog::QFileDialog;

 protected:
  void accept() override {
    const QStringList files = selectedFiles();
    if (!files.isEmpty()) {
      const QFileInfo chosen(files.first());
      if (!chosen.isDir() && !QFileInfo(chosen.absolutePath()).isDir()) {
        QMessageBox::warning(this, windowTitle(), MissingFolderText(chosen.absolutePath()));
        return;
      }
    }
    QFileDialog::accept();
  }
};

void PrepareDialog(QFileDialog& dialog, const FileDialogRequest& request) {
  // Qt's own dialog on every desktop, so that the open dialog's prompt for a
  // missing file always runs.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  ShowFileDetailsInRussian(dialog);
  if (!request.title.isEmpty()) dialog.setWindowTitle(request.title);
  dialog.setNameFilters(request.filters);
  if (!request.selectedFilter.isEmpty()) dialog.selectNameFilter(request.selectedFilter);
  dialog.setDefaultSuffix(request.defaultSuffix);
  if (!request.startName.isEmpty()) {
    const QFileInfo start(request.startName);
    dialog.setDirectory(start.absolutePath());
    dialog.selectFile(start.fileName());
  }
  dialog.setSizeGripEnabled(true);
}

std::optional<FileDialogAnswer> RunDialog(QFileDialog& dialog) {
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return FileDialogAnswer{dialog.selectedFiles().first(), dialog.selectedNameFilter()};
}

}  // namespace

std::unique_ptr<QMessageBox> MakeInformationBox(const QString& title, const QString& text) {
  return MakeBox(QMessageBox::NoIcon, title, text);
}

std::unique_ptr<QMessageBox> MakeWarningBox(const QString& title, const QString& text) {
  return MakeBox(QMessageBox::Warning, title, text);
}

std::unique_ptr<QMessageBox> MakeFailureBox(const QString& title, const QString& text) {
  return MakeBox(QMessageBox::Critical, title, text);
}

void QtUserPrompts::ShowInformation(const QString& title, const QString& text) {
  MakeInformationBox(title, text)->exec();
}

void QtUserPrompts::ShowWarning(const QString& title, const QString& text) {
  MakeWarningBox(title, text)->exec();
}

void QtUserPrompts::ShowFailure(const QString& title, const QString& text) {
  MakeFailureBox(title, text)->exec();
}

void QtUserPrompts::Beep() {
  QApplication::beep();
}

std::optional<FileDialogAnswer> QtUserPrompts::AskOpenFileName(const FileDialogRequest& request) {
  ArchiveOpenDialog dialog;
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::AnyFile);
  PrepareDialog(dialog, request);
  return RunDialog(dialog);
}

std::optional<FileDialogAnswer> QtUserPrompts::AskSaveFileName(const FileDialogRequest& request) {
  ReportSaveDialog dialog;
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  PrepareDialog(dialog, request);
  return RunDialog(dialog);
}

QString MissingFolderText(const QString& folder) {
  return folder + QStringLiteral("\nТакой папки нет.\nПроверьте путь.");
}

std::unique_ptr<QPrintDialog> MakePrintDialog(QPrinter& printer) {
  auto dialog = std::make_unique<QPrintDialog>(&printer);
  dialog->setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintPageRange |
                     QAbstractPrintDialog::PrintShowPageSize |
                     QAbstractPrintDialog::PrintCollateCopies);
  return dialog;
}

bool QtUserPrompts::HasDefaultPrinter() {
  return !QPrinterInfo::defaultPrinterName().isEmpty();
}

bool QtUserPrompts::ConfirmPrint(QPrinter& printer) {
  return MakePrintDialog(printer)->exec() == QDialog::Accepted;
}

bool QtUserPrompts::OpenDocument(const QString& absolutePath) {
  // False when no opener (xdg-open) could be started; what the opener then
  // does with the file is the desktop's business.
  return QDesktopServices::openUrl(QUrl::fromLocalFile(absolutePath));
}

}  // namespace torv
