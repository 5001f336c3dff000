// The documenting group: the table report, the whole-archive report,
// printing the report pane or its selection, and the RTF report file.
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLocale>
#include <QPrinter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <stdexcept>

#include "archive/view_engine.h"
#include "report/report_file_names.h"
#include "report/rtf_writer.h"
#include "ui/report_printer.h"
#include "ui/tform_main.h"

namespace torv {
namespace {

const QString kNoPrinterWarning = QStringLiteral(
    "Принтер по умолчанию не установлен.\n"
    "Отчет можно напечатать в файл PDF.");
const QString kReportFileMissing = QStringLiteral("Файл отчета не найден:\n%1");
const QString kNothingOpensReport = QStringLiteral(
    "Файл отчета не удалось открыть:\n%1\n"
    "Нет программы, которая открывает файлы этого типа.");
const QString kRtfFilter = QStringLiteral("Файлы типа .rtf (*.rtf)");
const QString kAllFilesFilter = QStringLiteral("Все файлы (*.*)");
constexpr int kHeaderPaneLine = 3;

QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A report pane's whole text, its lines with the report's tab stops.
// QTextEdit's own setPlainText puts the pane's cursor back at the start.
void ShowReportText(QTextEdit& pane, const QString& text) {
  pane.setPlainText(text);
  ApplyReportTabStops(*pane.document());
}

// The print dialog, after a warning when no default printer is set up, so
// that the operator knows why the dialog may offer nothing but a PDF file.
bool AskToPrint(UserPrompts& prompts, const QString& title, QPrinter& printer) {
  if (!prompts.HasDefaultPrinter()) prompts.ShowWarning(title, kNoPrinterWarning);
  return prompts.ConfirmPrint(printer);
}

}  // namespace

void TForm_main::SetReportPane(const ReportLines& lines) {
  // The whole text at once: the whole archive's 1028 lines would take tens of
  // milliseconds to append one by one. QTextEdit's own setPlainText leaves
  // the pane's cursor at the start; moving it there after SetReportText
  // would lay the whole report out a second time.
  ShowReportText(*ui_.RichEdit1, QString::fromStdString(JoinReportLines(lines)));
}

QString TForm_main::ReportPaneLine(int line) const {
  return ui_.RichEdit1->document()->findBlockByNumber(line).text();
}

void TForm_main::But1Click() {
  SetReportPane(BuildTableReport(*this, state_));
}

void TForm_main::But3Click() {
  const WholeArchiveReport report = BuildWholeArchiveReport(state_);
  // Without an archive name no view was requested: only the message.
  if (report.views.empty() && report.message) ShowMessage(*report.message);
  // The screen ends as the views left it, a view's message included.
  ShowOutcomes(report.views, *this);
  // A view that ends in a message stops the report; the pane keeps the
  // report it held, rather than a report of stale rows.
  if (!report.message) SetReportPane(report.lines);
}

void TForm_main::But5Click() {
  const QString selected = ui_.RichEdit1->textCursor().selectedText();
  QPrinter printer(QPrinter::HighResolution);
  UseLocalPaper(printer, QLocale::system());
  const QFont font = PrintFont(ui_.RichEdit1->font());
  if (selected.isEmpty()) {
    if (AskToPrint(prompts_, appTitle_, printer)) {
      PrintPlainText(printer, ui_.RichEdit1->toPlainText(), kWholeReportJobTitle.toString(), font);
    }
    return;
  }
  // RichEdit2 shows what will be printed while the print dialog is open.
  ui_.RichEdit2->show();
  ui_.RichEdit2->clear();
  ShowReportText(*ui_.RichEdit2, SelectionPrintout(ReportPaneLine(kHeaderPaneLine), selected));
  if (AskToPrint(prompts_, appTitle_, printer)) {
    PrintPlainText(printer, ui_.RichEdit2->toPlainText(), kSelectionJobTitle.toString(), font);
  }
  ui_.RichEdit2->hide();
}

void TForm_main::But4Click() {
  std::string target;
  while (true) {
    FileDialogRequest request;
    request.filters = QStringList{kRtfFilter, kAllFilesFilter};
    request.selectedFilter = lastSaveFilter_.isEmpty() ? kRtfFilter : lastSaveFilter_;
    request.startName = lastSaveName_;
    request.defaultSuffix = FromUtf8(kReportExtension.substr(1));
    const std::optional<FileDialogAnswer> answer = prompts_.AskSaveFileName(request);
    if (!answer) {
      // A cancelled save writes nothing: no file is replaced without asking.
      ui_.GroupBoxPrint->hide();
      return;
    }
    lastSaveName_ = answer->fileName;
    lastSaveFilter_ = answer->selectedFilter;
    if (const std::optional<std::string> accepted =
            AcceptReportFileName(answer->fileName.toStdString())) {
      target = *accepted;
      break;
    }
    prompts_.ShowWarning(FromUtf8(kBadReportNameCaption), FromUtf8(kBadReportNameMessage));
  }

  if (!SaveRtfFile(target, ui_.RichEdit1->toPlainText().toStdString()).ok()) {
    // Leaves the command before the group is hidden; RunHandler shows it.
    const std::string_view format = kCannotCreateFileMessage;
    const std::size_t at = format.find("%s");
    throw std::runtime_error(std::string(format.substr(0, at)) + target +
                             std::string(format.substr(at + 2)));
  }
  ui_.GroupBoxPrint->hide();
}

void TForm_main::But2Click() {
  // The name is relative: it resolves against the current folder, which
  // the file dialogs leave unchanged.
  const QString name = QString::fromStdString(DeviceReportName(state_.DeviceIndex));
  const QString path = QDir::current().absoluteFilePath(name);
  // The desktop's opener reports its failures to no one, so both a missing
  // file and a desktop with nothing to open it are said here.
  if (!QFileInfo::exists(path)) {
    prompts_.ShowInformation(appTitle_, kReportFileMissing.arg(path));
  } else if (!prompts_.OpenDocument(path)) {
    prompts_.ShowInformation(appTitle_, kNothingOpensReport.arg(path));
  }
  ui_.GroupBoxPrint->hide();
}

}  // namespace torv
