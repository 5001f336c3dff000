// The window's commands: importing copies, naming inputs and relays,
// exporting and printing what the filters show, choosing another store.
#include <QDir>
#include <QFileInfo>
#include <QPrinter>
#include <QStatusBar>

#include <algorithm>
#include <ctime>
#include <exception>
#include <span>
#include <vector>

#include "archive/record_kind.h"
#include "fileio/atomic_write.h"
#include "history/archive_copy.h"
#include "history/operator_text.h"
#include "history/store_location.h"
#include "history_print/report_layout.h"
#include "history_report/history_summaries.h"
#include "history_report/listing_output.h"
#include "history_report/report_heading.h"
#include "history_report/statistics_formats.h"
#include "history_ui/history_window.h"
#include "history_ui/qt_text.h"

namespace torv {
namespace {

const QString kImportTitle = QStringLiteral("Импорт копий");
const QString kNamesTitle = QStringLiteral("Названия");
const QString kExportTitle = QStringLiteral("Экспорт");
const QString kPrintTitle = QStringLiteral("Печать");
const QString kStoreTitle = QStringLiteral("Хранилище");

// The formats of `rows` the export offers, in the order of its dialog's filters.
std::vector<const ListingFormat*> ExportFormats(std::span<const ListingFormat> rows) {
  std::vector<const ListingFormat*> formats;
  for (const ListingFormat& format : rows) {
    if (!format.dialogFilter.empty()) formats.push_back(&format);
  }
  return formats;
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
  choices.folder = importFolder_;
  const std::optional<ImportRequest> request = prompts_.AskImport(choices);
  if (!request || request->files.isEmpty()) return;
  const QString device = request->device.trimmed();
  if (device.isEmpty()) {
    prompts_.ShowWarning(kImportTitle,
                         QStringLiteral("Не указано устройство: копии не импортированы."));
    return;
  }
  // A name typed anew starts a device; one that differs from a stored name
  // only in case or spaces is that device mistyped.
  std::vector<std::string> stored;
  for (const QString& name : choices.devices) stored.push_back(name.toStdString());
  if (const std::optional<std::string> similar =
          history::SimilarStoredDevice(stored, device.toStdString())) {
    prompts_.ShowWarning(kImportTitle,
                         QStringLiteral("Устройства «%1» нет в хранилище, есть «%2»: выберите его "
                                        "в списке. Копии не импортированы.")
                             .arg(device, Utf8(*similar)));
    return;
  }
  history::HistoryStore* store = WritableStore();
  if (store == nullptr) return;
  RememberFolder(importFolder_, request->files.front());

  const int total = static_cast<int>(request->files.size());
  // A single copy is imported in a moment; a progress bar only for several.
  std::unique_ptr<ImportProgress> progress =
      total > 1 ? prompts_.StartImportProgress(total) : nullptr;
  QStringList lines;
  ImportTotals totals;
  bool anyFailed = false;
  int done = 0;
  for (const QString& file : request->files) {
    if (progress && !progress->Advance(done, file)) break;
    const std::string path = file.toStdString();
    Result<history::ImportOutcome> outcome = history::ImportArchiveFile(
        *store, device.toStdString(), path, std::nullopt, request->forceDevice);
    const bool storeFailed = !outcome && !history::IsArchiveFileFailure(outcome.failure());
    if (Status there = history::StoreStillThere(*store, session_.Location(), storeFailed); !there) {
      lines.push_back(
          QStringLiteral("Хранилище истории недоступно: %1").arg(Utf8(there.failure().reason)));
      anyFailed = true;
      break;
    }
    ++totals.files;
    if (outcome) {
      lines.push_back(Utf8(ImportLine(path, *outcome, ImportWording::kWindow)));
      if (outcome->warning) lines.push_back(Utf8(path + ": " + *outcome->warning));
      anyFailed = anyFailed || outcome->refusal.has_value();
      if (outcome->refusal) {
        ++totals.refused;
      } else {
        totals.Add(*outcome);
      }
    } else {
      lines.push_back(Utf8(path + ": " + outcome.failure().reason));
      anyFailed = true;
      ++totals.refused;
    }
    ++done;
  }
  if (progress) progress->Finish();
  if (done < total) {
    lines.push_back(QStringLiteral("Импорт прерван: не импортировано файлов: %1 из %2.")
                        .arg(total - done)
                        .arg(total));
  }
  lines.push_back(Utf8(ImportTotalsLine(totals, ImportWording::kWindow)));
  ShowStoreState({});
  RefreshDevices();
  ShowListing();
  prompts_.ShowImportResults(lines, anyFailed);
}

void HistoryWindow::EditNames() {
  NameChoices choices;
  choices.devices = DeviceNames();
  choices.device = ChosenDevice().value_or(QString());
  choices.folder = exportFolder_;
  if (session_.HasLocation()) choices.store = session_.Location();
  history::HistoryStore* reader = session_.Reader();
  if (reader == nullptr) {
    prompts_.ShowInformation(kNamesTitle,
                             QStringLiteral("В хранилище ещё нет устройств: названия даются "
                                            "входам и реле устройства после импорта его копий."));
    return;
  }
  // The relays that fired: a device's table lists them beside its inputs.
  Result<std::vector<history::CountedEvents>> counted =
      reader->Counts({}, history::CountGrouping::kNumberAndCode);
  Result<std::vector<history::NameEntry>> names = reader->Names();
  if (!counted || !names) {
    Warn(QStringLiteral("Названия не читаются: %1")
             .arg(Utf8(!counted ? counted.failure().reason : names.failure().reason)));
    return;
  }
  for (const history::CountedEvents& count : *counted) {
    // One entry per code (on and off): each relay once.
    if (count.number && IsRelayEventCode(static_cast<std::uint8_t>(count.code))) {
      std::vector<int>& relays = choices.relays[count.device];
      if (std::find(relays.begin(), relays.end(), *count.number) == relays.end()) {
        relays.push_back(*count.number);
      }
    }
  }
  choices.names = std::move(*names);
  const std::optional<std::vector<history::NameEntry>> changed = prompts_.AskNames(choices);
  if (!changed || changed->empty()) return;
  history::HistoryStore* store = WritableStore();
  if (store == nullptr) return;
  if (Status s = store->SetNames(*changed); !s) {
    prompts_.ShowWarning(kNamesTitle,
                         QStringLiteral("Названия не сохранены: %1").arg(Utf8(s.failure().reason)));
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
  // The statistics when their tab is shown, else the listing.
  const bool statistics = StatisticsShown();
  const std::span<const ListingFormat> rows = statistics ? StatisticsFormats() : ListingFormats();
  const std::vector<const ListingFormat*> formats = ExportFormats(rows);
  QStringList filters;
  for (const ListingFormat* format : formats) filters.push_back(Utf8(format->dialogFilter));
  // The filter chosen last, or the first; an unknown filter is the first.
  const auto offered = [&](const QString& filter) -> const ListingFormat& {
    const qsizetype at = filters.indexOf(filter);
    return *formats[at < 0 ? 0 : static_cast<std::size_t>(at)];
  };
  const ListingFormat& preselected = offered(lastExportFilter_);
  FileDialogRequest request;
  request.title = kExportTitle;
  request.filters = filters;
  request.selectedFilter = Utf8(preselected.dialogFilter);
  request.defaultSuffix = Utf8(preselected.suffix);
  const QString folder = exportFolder_.isEmpty() ? QDir::homePath() : exportFolder_;
  request.startName = QDir(folder).filePath(
      (statistics ? QStringLiteral("статистика.") : QStringLiteral("история.")) +
      request.defaultSuffix);
  const std::optional<FileDialogAnswer> answer = prompts_.AskExportFile(request);
  if (!answer || answer->fileName.isEmpty()) return;
  const ListingFormat& format =
      FormatForFile(rows, QFileInfo(answer->fileName).suffix().toLower().toStdString(),
                    offered(answer->selectedFilter));
  lastExportFilter_ = Utf8(format.dialogFilter);
  RememberFolder(exportFolder_, answer->fileName);

  ListingSettings settings;
  ListingDestination to;
  to.file = answer->fileName.toStdString();
  to.store = session_.HasLocation() ? &session_.Location() : nullptr;
  const ListingWritten written = WriteListing(format, *store, query, settings, to);
  switch (written.fault) {
    case ListingFault::kStoreFile:
      prompts_.ShowWarning(kExportTitle,
                           QStringLiteral("Файл не сохранён: %1 — это файл хранилища истории, "
                                          "он не перезаписывается.")
                               .arg(answer->fileName));
      return;
    case ListingFault::kReading:
    case ListingFault::kWriting: {
      const std::string reason = written.fault == ListingFault::kWriting
                                     ? to.file + ": " + written.failure.reason
                                     : written.failure.reason;
      prompts_.ShowWarning(kExportTitle, QStringLiteral("Файл не сохранён: %1").arg(Utf8(reason)));
      return;
    }
    case ListingFault::kNone:
      break;
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
