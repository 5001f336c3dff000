#include "cli/history_commands.h"

#include <memory>

#include "cli/cli_option_table.h"
#include "cli/cli_output.h"
#include "cli/history_messages.h"
#include "cli/history_option_rules.h"
#include "cli/history_watch.h"
#include "fileio/atomic_write.h"
#include "history/archive_copy.h"
#include "history/history_store.h"
#include "history/import_sources.h"
#include "history/names_csv.h"
#include "history/operator_text.h"
#include "history/store_location.h"
#include "history_report/history_pdf.h"
#include "history_report/history_summaries.h"
#include "history_report/listing_check.h"
#include "history_report/listing_output.h"
#include "history_report/record_tables.h"
#include "history_report/report_files.h"
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
    const HistoryOptions& history = options_.history;
    Result<std::vector<history::ImportSource>> sources = history::CollectImportSources(
        options_.arguments,
        {history::OnlyDevice(history.query), history.deviceFromFolder, history.deviceFromName});
    if (!sources) {
      streams_.Err(CliMessage("", sources.failure().reason));
      return kExitMessage;
    }
    Result<std::vector<std::string>> storedDevices = history::StoredDeviceNames(store_);
    if (!storedDevices) return StoreFailed(storedDevices.failure());
    // One device for every file: a device that is not stored ends the run.
    if (const std::optional<std::string> device = history::OnlyDevice(history.query)) {
      const Status allowed = history::CheckDeviceChoice(*storedDevices, *device, history.newDevice);
      if (!allowed) {
        streams_.Err(CliMessage("", allowed.failure().reason));
        return kExitMessage;
      }
    }
    int exitCode = kExitDone;
    ImportTotals totals;
    std::size_t handled = 0;
    const auto refuse = [&](const std::string& file, const std::string& reason) {
      streams_.Err(CliMessage(file, reason));
      ++totals.refused;
      exitCode = kExitMessage;
    };
    // Files are imported in runs between the refused ones, so that every
    // line keeps the files' order. False once the store is lost.
    std::vector<history::FileToImport> run;
    bool storeLost = false;
    const auto importRun = [&] {
      history::ImportArchiveFiles(
          store_, run, history.copiedAt, history.forceDevice,
          [&](const std::string& file, const Result<history::ImportOutcome>& outcome) {
            ++handled;
            const bool storeFailed = !outcome && !history::IsArchiveFileFailure(outcome.failure());
            if (Status there = history::StoreStillThere(store_, location_, storeFailed); !there) {
              // One message for the whole run: every file after this one would fail alike.
              const std::size_t left = sources->size() - handled + 1;
              streams_.Err(
                  CliMessage(location_.shown, there.failure().reason + "; the import stopped, " +
                                                  std::to_string(left) + " files not imported"));
              storeLost = true;
              return false;
            }
            if (!outcome) {
              streams_.Err(ImportFailureMessage(file, outcome.failure(), location_.shown));
              ++totals.refused;
              exitCode = kExitMessage;
            } else if (outcome->refusal) {
              refuse(file, *outcome->refusal);
            } else {
              totals.Add(*outcome);
              // The files after one whose line could not be written are still imported.
              if (!history.quiet) Out(ImportLine(file, *outcome) + "\n");
              if (outcome->warning) streams_.Err(CliMessage(file, *outcome->warning));
            }
            return true;
          });
      run.clear();
      return !storeLost;
    };
    for (const history::ImportSource& source : *sources) {
      ++totals.files;
      std::string problem = source.problem;
      if (problem.empty() && history.query.devices.empty()) {
        // Each copy's own device: one not stored yet needs --new-device.
        const Status allowed =
            history::CheckDeviceChoice(*storedDevices, source.device, history.newDevice);
        if (!allowed) problem = allowed.failure().reason;
      }
      if (problem.empty()) {
        run.push_back({source.device, source.file});
        continue;
      }
      if (!importRun()) return Finish(kExitMessage);
      ++handled;
      refuse(source.file, problem);
    }
    if (!importRun()) return Finish(kExitMessage);
    if (sources->size() > 1 || history.quiet) Out(ImportTotalsLine(totals) + "\n");
    return Finish(exitCode);
  }

  // `history list` and `history stats`: a listing format's row writes either.
  int List(const ListingFormat& format) {
    const ListingSettings settings = Settings();
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

  // One file per device (those --device names, else each stored device)
  // for the period, named by the -o pattern; each file's name on a line.
  int Report() {
    std::vector<std::string> devices = options_.history.query.devices;
    if (devices.empty()) {
      Result<std::vector<history::DeviceSummary>> stored = store_.Devices();
      if (!stored) return StoreFailed(stored.failure());
      for (const history::DeviceSummary& device : *stored) devices.push_back(device.device);
    }
    const std::string period = PeriodLabel(options_.history.query.from, options_.history.query.to);
    for (const std::string& device : devices) {
      history::EventQuery query = options_.history.query;
      query.devices = {device};
      const std::string file = ReportFileName(options_.outputPath, device, period);
      const ListingWritten written = WriteListing(*FindListingFormat(options_.format), store_,
                                                  query, Settings(), {file, {}, &location_});
      if (written.fault == ListingFault::kReading) return Finish(StoreFailed(written.failure));
      if (!written) {
        streams_.Err(written.fault == ListingFault::kStoreFile
                         ? CliMessage(file, "is the history store; it is never written")
                         : CannotWriteMessage(file, written.failure));
        return Finish(kExitMessage);
      }
      Out(file + "\n");
    }
    return Finish(kExitDone);
  }

  int Devices() { return Print(DevicesReport(store_, *FindSummaryFormat(options_.format))); }

  // The chart of the filters' events as an image file, replaced whole or not at all.
  int Chart() {
    const HistoryOptions& history = options_.history;
    const std::string& file = options_.outputPath;
    if (history::IsPartOfStore(file, location_)) {
      streams_.Err(CliMessage(file, "is the history store; it is never written"));
      return kExitMessage;
    }
    Result<ChartData> chart = ComputeChart(store_, history.query, ChartBinNamed(history.chartBin));
    if (!chart) return StoreFailed(chart.failure());
    // png unless --format says svg.
    const std::string_view format =
        options_.format == kTextFormat ? kChartImageFormats.front() : options_.format;
    Result<std::string> image =
        HistoryChartImage(*chart, format, history.chartWidth, history.chartHeight);
    if (!image) {
      streams_.Err(CliMessage("", image.failure().reason));
      return kExitMessage;
    }
    if (Status written = WriteFileAtomically(file, *image); !written) {
      streams_.Err(CannotWriteMessage(file, written.failure()));
      return kExitMessage;
    }
    return Finish(kExitDone);
  }

  int SetName() {
    if (int refused = RefusedDevice(false); refused != kExitDone) return refused;
    const HistoryOptions& history = options_.history;
    history::NameEntry entry;
    entry.device = history.query.devices.front();
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
    if (!stored) return StoreFailed(stored.failure());
    Out(options_.path + ": " + std::to_string(names->size()) + " names set\n");
    return Finish(kExitDone);
  }

  int ListNames() { return Print(NamesReport(store_)); }

  int Copies() {
    Result<std::vector<history::KeptCopy>> copies =
        history::CopiesListed(store_, options_.history.query);
    if (!copies) return StoreFailed(copies.failure());
    Out(FindTableFormat(options_.format)->writer(CopiesTable(*copies)));
    return Finish(kExitDone);
  }

  int Journal() {
    Result<std::vector<history::JournalEntry>> entries = store_.Journal();
    if (!entries) return StoreFailed(entries.failure());
    std::erase_if(*entries, [&](const history::JournalEntry& entry) {
      return !history::ListsDevice(options_.history.query, entry.device);
    });
    Out(FindTableFormat(options_.format)->writer(JournalTable(*entries)));
    return Finish(kExitDone);
  }

  // The gaps that reach into the period.
  int Gaps() {
    const history::EventQuery& query = options_.history.query;
    Result<std::vector<history::HistoryHole>> holes = store_.Holes(query);
    if (!holes) return StoreFailed(holes.failure());
    std::erase_if(*holes, [&](const history::HistoryHole& hole) {
      return !history::HoleReachesInto(hole, query);
    });
    Result<std::vector<history::KeptCopy>> copies = history::CopiesListed(store_, query);
    if (!copies) return StoreFailed(copies.failure());
    Out(FindTableFormat(options_.format)->writer(GapsTable(*holes, *copies)));
    return Finish(kExitDone);
  }

  // A line per device verified, one for the journal; the first difference
  // on standard error, exit 1.
  int Verify() {
    if (options_.history.listingDigest) return VerifyListing(*options_.history.listingDigest);
    return VerifyStore(store_, location_.shown);
  }

  // Whether the store still gives the listing on paper; where not, the
  // journal entry after which it changed, on standard error, exit 1.
  int VerifyListing(const std::string& digest) {
    Result<ListingCheck> check = CheckListing(store_, options_.history.query, digest);
    if (!check) return StoreFailed(check.failure());
    const std::string head =
        check->head ? "journal entry " + std::to_string(check->head->id) : "an empty journal";
    if (check->matches) {
      Out("listing " + check->digest + ": the store still gives it (" + head + ")\n");
      return Finish(kExitDone);
    }
    std::string problem =
        "listing " + digest + ": the store now gives " + check->digest + " (" + head + "); ";
    if (const auto& entry = check->changedBy) {
      problem += "it changed with journal entry " + std::to_string(entry->id) + " (" +
                 LocalTimeText(entry->at) + ", " + entry->kind + ", device " + entry->device +
                 (entry->copy ? ", copy " + std::to_string(*entry->copy) : "") + ", by " +
                 entry->who + (entry->reason.empty() ? "" : ": " + entry->reason) + ")";
    } else {
      problem += check->untold;
    }
    streams_.Err(CliMessage(location_.shown, problem));
    return Finish(kExitMessage);
  }

  // The database's own check first, then what verify proves.
  int Check() {
    Result<std::string> database = store_.CheckDatabase();
    if (!database) return StoreFailed(database.failure());
    Out("database: " + *database + "\n");
    return Verify();
  }

  // The store as of one moment in a new file, which is then opened and
  // verified as a store of its own.
  int Backup() {
    const std::string& file = options_.arguments.front();
    if (history::IsPartOfStore(file, location_)) {
      streams_.Err(CliMessage(file, "is the history store; it is never written"));
      return kExitMessage;
    }
    if (Status copied = store_.Backup(file); !copied) {
      streams_.Err(CliMessage(file, copied.failure().reason));
      return kExitMessage;
    }
    Out(file + ": written\n");
    Result<std::unique_ptr<HistoryStore>> copy = history::OpenHistoryStore(
        {history::StoreKind::kSqlite, file, file}, history::OpenMode::kRead);
    if (!copy) {
      streams_.Err(CliMessage(file, "the backup does not open: " + copy.failure().reason));
      return kExitMessage;
    }
    return VerifyStore(**copy, file);
  }

  // A line per device verified, one for the journal; the first difference
  // on standard error, exit 1.
  int VerifyStore(HistoryStore& store, const std::string& shown) {
    Result<history::Verification> verified = store.Verify(options_.history.query.devices);
    if (!verified) {
      streams_.Err(CliMessage(shown, verified.failure().reason));
      return kExitMessage;
    }
    for (const history::DeviceVerification& device : verified->devices) {
      Out(VerifiedLine(device) + "\n");
    }
    if (verified->problem) {
      streams_.Err(CliMessage(shown, *verified->problem));
      return Finish(kExitMessage);
    }
    Out(JournalVerifiedLine(verified->journalEntries) + "\n");
    return Finish(kExitDone);
  }

  // The kept bytes, to a file only: never the store or one of its files.
  int CopyFile() {
    const std::string& file = options_.outputPath;
    if (history::IsPartOfStore(file, location_)) {
      streams_.Err(CliMessage(file, "is the history store; it is never written"));
      return kExitMessage;
    }
    Result<std::vector<std::uint8_t>> bytes = store_.CopyBytes(options_.history.copyIds.front());
    if (!bytes) return StoreFailed(bytes.failure());
    const Status written = WriteFileAtomically(file, std::string(bytes->begin(), bytes->end()));
    if (!written) {
      streams_.Err(CannotWriteMessage(file, written.failure()));
      return kExitMessage;
    }
    return kExitDone;
  }

  // A line per device rebuilt: "DEVICE: N events before, M after, K copies left".
  int Withdraw() {
    Result<std::vector<history::RebuiltDevice>> rebuilt =
        store_.Withdraw(options_.history.copyIds, options_.history.reason);
    if (!rebuilt) return StoreFailed(rebuilt.failure());
    for (const history::RebuiltDevice& device : *rebuilt) Out(RebuiltLine(device) + "\n");
    return Finish(kExitDone);
  }

  int RenameDevice() {
    const Status renamed =
        store_.RenameDevice(options_.arguments[0], options_.arguments[1], options_.history.reason);
    return renamed ? kExitDone : StoreFailed(renamed.failure());
  }

  int RemoveDevice() {
    const Status removed = store_.RemoveDevice(options_.path, options_.history.reason);
    return removed ? kExitDone : StoreFailed(removed.failure());
  }

 private:
  ListingSettings Settings() const {
    ListingSettings settings;
    settings.csv = options_.csvDialect == CsvDialectName::kExcel
                       ? ListSpreadsheetDialect()
                       : Rfc4180Dialect(options_.byteOrderMark);
    settings.heading = options_.history.heading;
    return settings;
  }
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
  // kExitDone when --device names a stored device, or a new one is allowed.
  int RefusedDevice(bool newDevice) {
    Result<std::vector<std::string>> devices = history::StoredDeviceNames(store_);
    if (!devices) return StoreFailed(devices.failure());
    const Status allowed =
        history::CheckDeviceChoice(*devices, options_.history.query.devices.front(), newDevice);
    if (allowed) return kExitDone;
    streams_.Err(CliMessage("", allowed.failure().reason));
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
    case CliCommand::kHistoryWatch:
    case CliCommand::kHistoryNamesSet:
    case CliCommand::kHistoryNamesImport:
    case CliCommand::kHistoryWithdraw:
    case CliCommand::kHistoryDevicesRename:
    case CliCommand::kHistoryDevicesRemove:
      return OpenMode::kWrite;
    default:
      return OpenMode::kRead;
  }
}

}  // namespace

int RunHistoryCommand(const CliOptions& options, CommandStreams& streams) {
  // A PDF or an image that cannot be written is told before the store is
  // opened: every command that takes --format pdf writes it through the
  // drawing module, and so does the chart.
  if (options.command == CliCommand::kHistoryChart || options.format == "pdf") {
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
    case CliCommand::kHistoryWatch:
      return WatchForCopies(options, *opened->store, opened->location, streams);
    case CliCommand::kHistoryList:
      return run.List(*FindListingFormat(options.format));
    case CliCommand::kHistoryReport:
      return run.Report();
    case CliCommand::kHistoryStats:
      return run.List(*FindStatisticsFormat(options.format));
    case CliCommand::kHistoryDevices:
      return run.Devices();
    case CliCommand::kHistoryChart:
      return run.Chart();
    case CliCommand::kHistoryNamesSet:
      return run.SetName();
    case CliCommand::kHistoryNamesImport:
      return run.ImportNames();
    case CliCommand::kHistoryNamesList:
      return run.ListNames();
    case CliCommand::kHistoryCopies:
      return run.Copies();
    case CliCommand::kHistoryJournal:
      return run.Journal();
    case CliCommand::kHistoryGaps:
      return run.Gaps();
    case CliCommand::kHistoryVerify:
      return run.Verify();
    case CliCommand::kHistoryCheck:
      return run.Check();
    case CliCommand::kHistoryBackup:
      return run.Backup();
    case CliCommand::kHistoryCopyFile:
      return run.CopyFile();
    case CliCommand::kHistoryWithdraw:
      return run.Withdraw();
    case CliCommand::kHistoryDevicesRename:
      return run.RenameDevice();
    case CliCommand::kHistoryDevicesRemove:
      return run.RemoveDevice();
    default:
      break;
  }
  return kExitUsage;
}

}  // namespace torv
