#include "cli/history_commands.h"

#include <ctime>
#include <memory>

#include "cli/cli_option_table.h"
#include "cli/cli_output.h"
#include "cli/history_messages.h"
#include "cli/history_option_rules.h"
#include "history/archive_copy.h"
#include "history/history_store.h"
#include "history/names_csv.h"
#include "history/store_location.h"
#include "history_report/event_list.h"
#include "history_report/history_summaries.h"
#include "history_report/report_heading.h"
#ifdef TORVDOC_HISTORY_PDF
#include "history_print/history_pdf.h"
#endif
#include "fileio/atomic_write.h"

namespace torv {
namespace {

using history::HistoryStore;
using history::OpenMode;
using history::StoreLocation;

struct OpenedStore {
  StoreLocation location;
  std::unique_ptr<HistoryStore> store;
};

Result<OpenedStore> OpenStore(const CliOptions& options, OpenMode mode) {
  Result<StoreLocation> location =
      history::ResolveStoreLocation(options.history.db, history::ProcessStoreEnvironment());
  if (!location) return location.failure();
  Result<std::unique_ptr<HistoryStore>> store = history::OpenHistoryStore(*location, mode);
  if (!store) return store.failure();
  return OpenedStore{*location, std::move(*store)};
}

// A listing written over the store, or over the files SQLite keeps beside
// it, would destroy the history.
bool OutputIsTheStore(const std::string& outputPath, const StoreLocation& location) {
  return !IsStandardOutput(outputPath) && history::IsPartOfStore(outputPath, location);
}

history::EventQuery QueryOf(const HistoryOptions& options) {
  history::EventQuery query;
  query.device = options.device;
  query.from = options.from;
  query.to = options.to;
  query.input = options.input;
  query.kinds = options.kinds;
  query.text = options.text;
  query.newestFirst = options.newestFirst;
  return query;
}

ListFormat ListFormatOf(OutputFormat format) {
  switch (format) {
    case OutputFormat::kCsv:
      return ListFormat::kCsv;
    case OutputFormat::kJson:
      return ListFormat::kJson;
    case OutputFormat::kText:
    case OutputFormat::kRtf:
    case OutputFormat::kPdf:
      break;
  }
  return ListFormat::kText;
}

// One run of a history command: its store, and where it writes.
class HistoryRun {
 public:
  HistoryRun(const CliOptions& options, OpenedStore& opened, CommandStreams& streams)
      : options_(options), store_(*opened.store), location_(opened.location), streams_(streams) {}

  int Import() {
    int exitCode = kExitDone;
    for (const std::string& file : options_.arguments) {
      Result<history::ImportOutcome> outcome = history::ImportArchiveFile(
          store_, *options_.history.device, file, options_.history.copiedAt);
      if (!outcome) {
        streams_.Err(ImportFailureMessage(file, outcome.failure(), location_.shown));
        exitCode = kExitMessage;
        continue;
      }
      // The files after one whose line could not be written are still imported.
      Out(ImportLine(file, *outcome) + "\n");
    }
    return Finish(exitCode);
  }

  int List() {
    if (OutputIsTheStore(options_.outputPath, location_)) {
      streams_.Err(
          UsageErrorMessage(options_.outputPath + ": is the history store; it is never written",
                            CommandDeclarationOf(options_.command).name));
      return kExitUsage;
    }
    const history::EventQuery query = QueryOf(options_.history);
    if (options_.format == OutputFormat::kPdf) return ListAsPdf(query);
    const ListFormat format = ListFormatOf(options_.format);
    const CsvDialect dialect = options_.csvDialect == CsvDialectName::kExcel
                                   ? ListSpreadsheetDialect()
                                   : Rfc4180Dialect(options_.byteOrderMark);
    if (IsStandardOutput(options_.outputPath)) {
      // Piece by piece to standard output: a whole store never sits in memory.
      const Status listed = WriteEventList(
          store_, query, format, [&](std::string_view piece) { Out(piece); }, dialect);
      return Finish(listed ? kExitDone : StoreFailed(listed.failure()));
    }
    std::string content;
    const Status listed = WriteEventList(
        store_, query, format, [&](std::string_view piece) { content += piece; }, dialect);
    if (!listed) return StoreFailed(listed.failure());
    return WriteOutput(content);
  }

  int Devices() {
    const SummaryFormat format =
        options_.format == OutputFormat::kJson ? SummaryFormat::kJson : SummaryFormat::kText;
    return Print(DevicesReport(store_, format));
  }

  int SetName() {
    const HistoryOptions& history = options_.history;
    history::NameEntry entry;
    entry.device = *history.device;
    entry.kind = history.relay ? history::NumberKind::kRelay : history::NumberKind::kInput;
    entry.number = history.relay ? *history.relay : history.input.value_or(0);
    entry.name = options_.path;
    const Status stored = store_.SetNames({entry});
    return stored ? kExitDone : StoreFailed(stored.failure());
  }

  // All of the file's names, or none.
  int ImportNames() {
    Result<std::vector<history::NameEntry>> names = history::ReadNamesFile(options_.path);
    if (!names) {
      streams_.Err(CliMessage(options_.path, names.failure().reason));
      return kExitMessage;
    }
    const Status stored = store_.SetNames(*names);
    return stored ? kExitDone : StoreFailed(stored.failure());
  }

  int ListNames() { return Print(NamesReport(store_)); }

 private:
  // The printed report, as the history window exports it.
  int ListAsPdf(const history::EventQuery& query) {
#ifdef TORVDOC_HISTORY_PDF
    Result<std::string> document =
        HistoryPdfDocument(store_, query, HeadingFor(query, std::time(nullptr)));
    if (!document) return StoreFailed(document.failure());
    if (!IsStandardOutput(options_.outputPath)) return WriteOutput(*document);
    Out(*document);
    return Finish(kExitDone);
#else
    (void)query;
    streams_.Err(CliMessage("", "this build has no PDF reports"));
    return kExitMessage;
#endif
  }
  // `content` whole into the file -o names.
  int WriteOutput(std::string_view content) {
    const Status written = WriteFileAtomically(options_.outputPath, content);
    if (!written) {
      streams_.Err(CannotWriteMessage(options_.outputPath, written.failure()));
      return kExitMessage;
    }
    return kExitDone;
  }
  // After a fault of standard output nothing more gets through; the fault is
  // told once, by Finish.
  void Out(std::string_view bytes) {
    (void)streams_.Out(bytes);
  }
  // The exit code, once standard output took everything or its fault was told.
  int Finish(int exitCode) {
    const Failure* failure = streams_.OutFailure();
    if (failure == nullptr) return exitCode;
    streams_.Err(CannotWriteMessage("standard output", *failure));
    return kExitMessage;
  }
  int StoreFailed(const Failure& failure) {
    streams_.Err(CliMessage(location_.shown, failure.reason));
    return kExitMessage;
  }
  int Print(const Result<std::string>& report) {
    if (!report) return StoreFailed(report.failure());
    Out(*report);
    return Finish(kExitDone);
  }

  const CliOptions& options_;
  HistoryStore& store_;
  const StoreLocation& location_;
  CommandStreams& streams_;
};

OpenMode ModeOf(CliCommand command) {
  switch (command) {
    case CliCommand::kHistoryImport:
    case CliCommand::kHistoryNamesSet:
    case CliCommand::kHistoryNamesImport:
      return OpenMode::kWrite;
    default:
      return OpenMode::kRead;
  }
}

}  // namespace

int RunHistoryCommand(const CliOptions& options, CommandStreams& streams) {
  Result<OpenedStore> opened = OpenStore(options, ModeOf(options.command));
  if (!opened) {
    streams.Err(CliMessage("", opened.failure().reason));
    return kExitMessage;
  }
  HistoryRun run(options, *opened, streams);
  switch (options.command) {
    case CliCommand::kHistoryImport:
      return run.Import();
    case CliCommand::kHistoryList:
      return run.List();
    case CliCommand::kHistoryDevices:
      return run.Devices();
    case CliCommand::kHistoryNamesSet:
      return run.SetName();
    case CliCommand::kHistoryNamesImport:
      return run.ImportNames();
    case CliCommand::kHistoryNamesList:
      return run.ListNames();
    default:
      break;
  }
  return kExitUsage;
}

}  // namespace torv
