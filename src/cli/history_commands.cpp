#include "cli/history_commands.h"

#include <memory>

#include "cli/cli_option_table.h"
#include "cli/cli_output.h"
#include "cli/history_messages.h"
#include "cli/history_option_rules.h"
#include "history/archive_copy.h"
#include "history/history_store.h"
#include "history/names_csv.h"
#include "history/store_location.h"
#include "history_report/history_pdf.h"
#include "history_report/history_summaries.h"
#include "history_report/listing_output.h"
#include "history_report/statistics_formats.h"

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

// One run of a history command: its store, and where it writes.
class HistoryRun {
 public:
  HistoryRun(const CliOptions& options, OpenedStore& opened, CommandStreams& streams)
      : options_(options), store_(*opened.store), location_(opened.location), streams_(streams) {}

  int Import() {
    int exitCode = kExitDone;
    for (const std::string& file : options_.arguments) {
      Result<history::ImportOutcome> outcome = history::ImportArchiveFile(
          store_, *options_.history.query.device, file, options_.history.copiedAt);
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

  // `history list` and `history stats`: a listing format's row writes either.
  int List(const ListingFormat& format) {
    ListingSettings settings;
    settings.csv = options_.csvDialect == CsvDialectName::kExcel
                       ? ListSpreadsheetDialect()
                       : Rfc4180Dialect(options_.byteOrderMark);
    ListingDestination to;
    to.store = &location_;
    if (IsStandardOutput(options_.outputPath)) {
      to.stream = [&](std::string_view piece) { Out(piece); };
    } else {
      to.file = options_.outputPath;
    }
    const ListingWritten written =
        WriteListing(format, store_, options_.history.query, settings, to);
    switch (written.fault) {
      case ListingFault::kStoreFile:
        streams_.Err(
            UsageErrorMessage(options_.outputPath + ": is the history store; it is never written",
                              CommandDeclarationOf(options_.command).name));
        return kExitUsage;
      case ListingFault::kReading:
        return Finish(StoreFailed(written.failure));
      case ListingFault::kWriting:
        streams_.Err(CannotWriteMessage(options_.outputPath, written.failure));
        return kExitMessage;
      case ListingFault::kNone:
        break;
    }
    return Finish(kExitDone);
  }

  int Devices() { return Print(DevicesReport(store_, *FindSummaryFormat(options_.format))); }

  int SetName() {
    const HistoryOptions& history = options_.history;
    history::NameEntry entry;
    entry.device = *history.query.device;
    entry.kind = history.relay ? history::NumberKind::kRelay : history::NumberKind::kInput;
    entry.number = history.relay ? *history.relay : history.query.input.value_or(0);
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
  // After a fault of standard output nothing more gets through; the fault is
  // told once, by Finish.
  void Out(std::string_view bytes) { (void)streams_.Out(bytes); }
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
  // A PDF that cannot be written is told before the store is opened.
  const ListingFormat* format = FindListingFormat(options.format);
  if (options.command == CliCommand::kHistoryList && format != nullptr &&
      IsPrintedListing(*format)) {
    if (Status available = HistoryPdfAvailable(); !available) {
      streams.Err(CliMessage("", available.failure().reason));
      return kExitMessage;
    }
  }
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
      return run.List(*FindListingFormat(options.format));
    case CliCommand::kHistoryStats:
      return run.List(*FindStatisticsFormat(options.format));
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
