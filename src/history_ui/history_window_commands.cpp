// The window's commands: importing copies, naming inputs and relays,
// exporting and printing what the filters show, choosing another store.
#include <QDir>
#include <QFileInfo>
#include <QPrinter>
#include <QStatusBar>

#include <ctime>
#include <exception>

#include "fileio/atomic_write.h"
#include "history/archive_copy.h"
#include "history/store_location.h"
#include "history_print/history_pdf.h"
#include "history_print/report_layout.h"
#include "history_report/event_list.h"
#include "history_report/history_summaries.h"
#include "history_report/report_heading.h"
#include "history_ui/history_window.h"

namespace torv {
namespace {

QString Utf8(const std::string& text) {
  return QString::fromStdString(text);
}

const QString kImportTitle = QStringLiteral("Импорт копий");
const QString kNamesTitle = QStringLiteral("Названия");
const QString kExportTitle = QStringLiteral("Экспорт");
const QString kPrintTitle = QStringLiteral("Печать");
const QString kStoreTitle = QStringLiteral("Хранилище");

// The export formats, in the order of the save dialog's filters.
enum class ExportFormat { kCsv, kSpreadsheetCsv, kJson, kPdf };
const QStringList kExportFilters = {QStringLiteral("CSV (*.csv)"),
                                    QStringLiteral("CSV для табличного редактора (*.csv)"),
                                    QStringLiteral("JSON (*.json)"), QStringLiteral("PDF (*.pdf)")};
const QStringList kExportSuffixes = {QStringLiteral("csv"), QStringLiteral("csv"),
                                     QStringLiteral("json"), QStringLiteral("pdf")};

// The format of an export: the file's own suffix when it names one, so that
// "отчёт.pdf" is a PDF whichever filter was left selected; else the filter.
ExportFormat FormatOf(const FileDialogAnswer& answer) {
  const qsizetype chosen = kExportFilters.indexOf(answer.selectedFilter);
  const auto filtered = static_cast<ExportFormat>(chosen < 0 ? 0 : chosen);
  const QString suffix = QFileInfo(answer.fileName).suffix().toLower();
  if (suffix == QStringLiteral("pdf")) return ExportFormat::kPdf;
  if (suffix == QStringLiteral("json")) return ExportFormat::kJson;
  if (suffix == QStringLiteral("csv")) {
    return filtered == ExportFormat::kSpreadsheetCsv ? filtered : ExportFormat::kCsv;
  }
  return filtered;
}

}  // namespace

void HistoryWindow::RunCommand(const std::function<void()>& command) {
  try {
    command();
  } catch (const std::exception& failure) {
    Warn(QStringLiteral("Команда не выполнена: %1").arg(QString::fromUtf8(failure.what())));
  }
}

void HistoryWindow::Warn(const QString& text) {
  prompts_.ShowWarning(windowTitle(), text);
}

history::HistoryStore* HistoryWindow::WritableStore() {
  Result<history::HistoryStore*> store = session_.Writer();
  if (!store) {
    Warn(QStringLiteral("Хранилище истории не открывается для записи.\n%1")
             .arg(Utf8(store.failure().reason)));
    return nullptr;
  }
  return *store;
}

history::HistoryStore* HistoryWindow::StoreToList(const QString& title) {
  history::HistoryStore* store = session_.Reader();
  if (store == nullptr) {
    prompts_.ShowInformation(title, QStringLiteral("В хранилище ещё нет событий."));
  }
  return store;
}

void HistoryWindow::ImportCopies() {
  ImportChoices choices;
  choices.devices = DeviceNames();
  choices.device = ChosenDevice().value_or(QString());
  choices.folder = lastFolder_;
  const std::optional<ImportRequest> request = prompts_.AskImport(choices);
  if (!request || request->files.isEmpty()) return;
  const QString device = request->device.trimmed();
  if (device.isEmpty()) {
    prompts_.ShowWarning(kImportTitle,
                         QStringLiteral("Не указано устройство: копии не импортированы."));
    return;
  }
  history::HistoryStore* store = WritableStore();
  if (store == nullptr) return;
  RememberFolder(request->files.front());

  const int total = static_cast<int>(request->files.size());
  // A single copy is imported in a moment; a progress bar only for several.
  std::unique_ptr<ImportProgress> progress =
      total > 1 ? prompts_.StartImportProgress(total) : nullptr;
  QStringList lines;
  bool anyFailed = false;
  int done = 0;
  for (const QString& file : request->files) {
    if (progress && !progress->Advance(done, file)) break;
    const std::string path = file.toStdString();
    Result<history::ImportOutcome> outcome =
        history::ImportArchiveFile(*store, device.toStdString(), path, std::nullopt);
    if (outcome) {
      lines.push_back(Utf8(ImportLine(path, *outcome)));
    } else {
      lines.push_back(Utf8(path + ": " + outcome.failure().reason));
      anyFailed = true;
    }
    ++done;
  }
  if (progress) progress->Finish();
  if (done < total) {
    lines.push_back(QStringLiteral("Импорт прерван: не импортировано файлов: %1 из %2.")
                        .arg(total - done)
                        .arg(total));
  }
  ShowStoreState({});
  RefreshDevices();
  ShowListing();
  prompts_.ShowImportResults(lines, anyFailed);
}

void HistoryWindow::EditNames() {
  NameChoices choices;
  choices.devices = DeviceNames();
  choices.device = ChosenDevice().value_or(QString());
  if (history::HistoryStore* reader = session_.Reader()) {
    Result<std::vector<history::NameEntry>> names = reader->Names();
    if (names) choices.names = std::move(*names);
  }
  const std::optional<history::NameEntry> entry = prompts_.AskName(choices);
  if (!entry) return;
  history::HistoryStore* store = WritableStore();
  if (store == nullptr) return;
  if (Status s = store->SetNames({*entry}); !s) {
    prompts_.ShowWarning(kNamesTitle,
                         QStringLiteral("Название не сохранено: %1").arg(Utf8(s.failure().reason)));
    return;
  }
  ShowStoreState({});
  RefreshDevices();
  ShowListing();
}

void HistoryWindow::ExportListing() {
  history::HistoryStore* store = StoreToList(kExportTitle);
  if (store == nullptr) return;
  const history::EventQuery query = CurrentQuery();
  FileDialogRequest request;
  request.title = kExportTitle;
  request.filters = kExportFilters;
  request.selectedFilter =
      kExportFilters.contains(lastExportFilter_) ? lastExportFilter_ : kExportFilters.front();
  const int format = static_cast<int>(kExportFilters.indexOf(request.selectedFilter));
  request.defaultSuffix = kExportSuffixes[format];
  const QString folder = lastFolder_.isEmpty() ? QDir::homePath() : lastFolder_;
  request.startName = QDir(folder).filePath(QStringLiteral("история.") + kExportSuffixes[format]);
  const std::optional<FileDialogAnswer> answer = prompts_.AskExportFile(request);
  if (!answer || answer->fileName.isEmpty()) return;
  const ExportFormat exportFormat = FormatOf(*answer);
  lastExportFilter_ = kExportFilters[static_cast<int>(exportFormat)];
  RememberFolder(answer->fileName);
  const std::string path = answer->fileName.toStdString();
  // A listing saved over the store or the files SQLite keeps beside it would
  // destroy the very history it lists.
  if (session_.HasLocation() && history::IsPartOfStore(path, session_.Location())) {
    prompts_.ShowWarning(kExportTitle,
                         QStringLiteral("Файл не сохранён: %1 — это файл хранилища истории, "
                                        "он не перезаписывается.")
                             .arg(answer->fileName));
    return;
  }

  Status written;
  if (exportFormat == ExportFormat::kPdf) {
    written = WriteHistoryPdf(*store, query, HeadingFor(query, std::time(nullptr)), path);
  } else {
    std::string content;
    const ListFormat listFormat =
        exportFormat == ExportFormat::kJson ? ListFormat::kJson : ListFormat::kCsv;
    written = WriteEventList(
        *store, query, listFormat, [&](std::string_view piece) { content += piece; },
        exportFormat == ExportFormat::kSpreadsheetCsv ? ListSpreadsheetDialect()
                                                      : Rfc4180Dialect());
    if (written) {
      if (const Status saved = WriteFileAtomically(path, content); !saved) {
        written = Failure{path + ": " + saved.failure().reason, saved.failure().errorNumber};
      }
    }
  }
  if (!written) {
    prompts_.ShowWarning(
        kExportTitle, QStringLiteral("Файл не сохранён: %1").arg(Utf8(written.failure().reason)));
    return;
  }
  statusBar()->showMessage(QStringLiteral("Сохранено: ") + answer->fileName, 10000);
}

void HistoryWindow::PrintListing() {
  history::HistoryStore* store = StoreToList(kPrintTitle);
  if (store == nullptr) return;
  const history::EventQuery query = CurrentQuery();
  QPrinter printer(QPrinter::HighResolution);
  printer.setPageLayout(DefaultReportPageLayout());
  if (!prompts_.ConfirmPrint(printer)) return;
  if (Status s = PrintHistoryReport(printer, *store, query, HeadingFor(query, std::time(nullptr)));
      !s) {
    prompts_.ShowWarning(kPrintTitle,
                         QStringLiteral("Отчёт не напечатан: %1").arg(Utf8(s.failure().reason)));
  }
}

void HistoryWindow::PreviewListing() {
  history::HistoryStore* store = StoreToList(kPrintTitle);
  if (store == nullptr) return;
  const history::EventQuery query = CurrentQuery();
  const HistoryReportHeading heading = HeadingFor(query, std::time(nullptr));
  QPrinter printer(QPrinter::HighResolution);
  printer.setPageLayout(DefaultReportPageLayout());
  std::optional<Failure> failure;
  prompts_.ShowPrintPreview(printer, [&](QPrinter& target) {
    if (Status s = PrintHistoryReport(target, *store, query, heading); !s) failure = s.failure();
  });
  if (failure) {
    prompts_.ShowWarning(kPrintTitle,
                         QStringLiteral("Отчёт не построен: %1").arg(Utf8(failure->reason)));
  }
}

void HistoryWindow::ChooseStore() {
  const QString current = session_.HasLocation() ? Utf8(session_.Location().shown) : QString();
  const std::optional<QString> text = prompts_.AskStore(current);
  if (!text || text->trimmed().isEmpty()) return;
  Result<history::StoreLocation> location =
      history::ParseStoreLocation(text->trimmed().toStdString());
  if (!location) {
    prompts_.ShowWarning(
        kStoreTitle,
        QStringLiteral("Хранилище не выбрано: %1").arg(Utf8(location.failure().reason)));
    return;
  }
  OpenStore(*location);
}

}  // namespace torv
