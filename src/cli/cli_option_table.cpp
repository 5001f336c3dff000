#include "cli/cli_option_table.h"

#include <algorithm>
#include <charconv>
#include <cstdint>

#include "archive/date_key.h"
#include "archive/view_request.h"
#include "cli/history_option_rules.h"
#include "cli/history_usage.h"
#include "cli/output_formats.h"

namespace torv {
namespace {

using enum CliCommand;

UsageProblem ApplyBlock(const OptionDeclaration& declared, std::string_view value,
                        CliOptions& options) {
  options.viewKind = ViewKind::kBlock;
  return ParseOptionNumberInto(declared.name, value, kNewestBlock, kOldestBlock,
                               options.blocksBack);
}

UsageProblem ApplyDate(const OptionDeclaration& declared, std::string_view value,
                       CliOptions& options) {
  if (!IsWholeDateKey(value)) {
    return std::string(declared.name) + " wants at least five characters (DD.MM), not " +
           QuotedValue(value);
  }
  options.viewKind = ViewKind::kDate;
  options.dateKey = value;
  return {};
}

UsageProblem ApplyInput(const OptionDeclaration& declared, std::string_view value,
                        CliOptions& options) {
  if (IsHistoryCommand(options.command)) return ApplyHistoryInput(declared, value, options);
  options.viewKind = ViewKind::kInput;
  return ParseOptionNumberInto(declared.name, value, kFirstInputNumber, kLastInputNumber,
                               options.inputNumber);
}

UsageProblem ApplySteps(const OptionDeclaration& declared, std::string_view value,
                        CliOptions& options) {
  if (value.find_first_not_of(std::string{kStepBackward, kStepForward}) != std::string::npos) {
    return std::string(declared.name) + " takes only the letters b and f, not " +
           QuotedValue(value);
  }
  options.steps = value;
  return {};
}

UsageProblem ApplyFormat(const OptionDeclaration& declared, std::string_view value,
                         CliOptions& options) {
  const std::vector<std::string_view> names = FormatNamesFor(options.command);
  for (const std::string_view name : names) {
    if (name == value) {
      options.format = name;
      return {};
    }
  }
  return std::string(declared.name) + " is " + JoinFormatNames(names, ", ", " or ") + ", not " +
         QuotedValue(value);
}

UsageProblem ApplyByteOrderMark(const OptionDeclaration& /*declared*/, std::string_view /*flag*/,
                                CliOptions& options) {
  options.byteOrderMark = true;
  return {};
}

UsageProblem ApplyOutput(const OptionDeclaration& declared, std::string_view value,
                         CliOptions& options) {
  if (value.empty()) return std::string(declared.name) + " wants a file name";
  options.outputPath = value;
  return {};
}

UsageProblem ApplyCsvDialect(const OptionDeclaration& declared, std::string_view value,
                             CliOptions& options) {
  if (value == "rfc4180") {
    options.csvDialect = CsvDialectName::kRfc4180;
  } else if (value == "excel") {
    options.csvDialect = CsvDialectName::kExcel;
  } else {
    return std::string(declared.name) + " is rfc4180 or excel, not " + QuotedValue(value);
  }
  return {};
}

UsageProblem ApplyForce(const OptionDeclaration& /*declared*/, std::string_view /*flag*/,
                        CliOptions& options) {
  options.force = true;
  return {};
}

UsageProblem ApplyEncoding(const OptionDeclaration& declared, std::string_view value,
                           CliOptions& options) {
  if (value == "utf-8") {
    options.encoding = OutputEncoding::kUtf8;
  } else if (value == "cp1251") {
    options.encoding = OutputEncoding::kCp1251;
  } else {
    return std::string(declared.name) + " is utf-8 or cp1251, not " + QuotedValue(value);
  }
  return {};
}

UsageProblem ApplySeed(const OptionDeclaration& declared, std::string_view value,
                       CliOptions& options) {
  return ParseOptionNumberInto(declared.name, value, 0, UINT32_MAX, options.seed);
}

UsageProblem ApplyFill(const OptionDeclaration& declared, std::string_view value,
                       CliOptions& options) {
  return ParseOptionNumberInto(declared.name, value, 0, kMaxSampleFill, options.fill);
}

}  // namespace

// Plain decimal digits only: no sign, no spaces, no suffix.
UsageProblem ParseOptionNumber(std::string_view option, std::string_view value, long long low,
                               long long high, long long& number) {
  long long parsed = 0;
  const char* end = value.data() + value.size();
  const bool digitsOnly =
      !value.empty() && value.find_first_not_of("0123456789") == std::string_view::npos;
  const auto [stop, error] = std::from_chars(value.data(), end, parsed);
  if (!digitsOnly || error != std::errc() || stop != end || parsed < low || parsed > high) {
    return std::string(option) + " wants a number from " + std::to_string(low) + " to " +
           std::to_string(high) + ", not " + QuotedValue(value);
  }
  number = parsed;
  return {};
}

bool OptionDeclaration::TakenBy(CliCommand command) const {
  return std::find(commands.begin(), commands.end(), command) != commands.end();
}

std::string_view OptionDeclaration::HelpFor(CliCommand command) const {
  for (const OptionHelp& text : help) {
    if (std::find(text.commands.begin(), text.commands.end(), command) != text.commands.end()) {
      return text.text;
    }
  }
  return {};
}

const std::vector<CommandDeclaration>& CommandTable() {
  static const std::vector<CommandDeclaration> table = {
      {kView, "view", "FILE", "one view of the archive",
       "Usage: torvdoc-cli view FILE [--block K | --date DD.MM | --input N] [--steps SEQ]\n"
       "                        [--format {formats}] [--bom]\n"
       "                        [--csv-dialect rfc4180|excel] [-o PATH]\n"
       "                        [--encoding utf-8|cp1251]\n"
       "Shows one view of the archive FILE as a report: the status line, two empty\n"
       "lines, the header line and one line per row. FILE - reads standard input.\n",
       17},
      {kReport, "report", "FILE", "the whole archive",
       "Usage: torvdoc-cli report FILE [--format {formats}] [--bom]\n"
       "                          [--csv-dialect rfc4180|excel] [-o PATH]\n"
       "                          [--encoding utf-8|cp1251]\n"
       "Shows the whole archive FILE as a report: all 64 blocks, newest first.\n"
       "FILE - reads standard input.\n",
       17},
      {kInfo, "info", "FILE...", "what each archive holds, counted",
       "Usage: torvdoc-cli info FILE... [--format {formats}] [-o PATH]\n"
       "                           [--encoding utf-8|cp1251]\n"
       "Summarizes each archive FILE: its size, WriteOffset and what it points at,\n"
       "the newest and the oldest written record, and counts of empty and damaged\n"
       "records, of records per event code, of input events per input and of relay\n"
       "events per relay, over all 1024 slots. Several files give one block each,\n"
       "or in JSON a list of objects; a file that cannot be read gives its message,\n"
       "the others are still summarized. FILE - reads standard input.\n",
       17, ArgumentCount::kOneOrMore},
      {kSample, "sample", "OUT", "write a generated archive",
       "Usage: torvdoc-cli sample OUT [--seed N] [--fill N] [--force]\n"
       "Writes a generated archive file to OUT (- for standard output); the same\n"
       "seed and fill always give the same file. An existing OUT is replaced only\n"
       "with --force.\n",
       11},
      {kHistoryImport, "history import", "PATH...",
       "merge archive copies into the history of a device", kHistoryImportSynopsis, 16,
       ArgumentCount::kOneOrMore},
      {kHistoryWatch, "history watch", "DIR...", "import each copy that appears in the folders",
       kHistoryWatchSynopsis, 24, ArgumentCount::kOneOrMore},
      {kHistoryList, "history list", "", "the stored events, oldest first, device by device",
       kHistoryListSynopsis, 17, ArgumentCount::kNone},
      {kHistoryReport, "history report", "", "a listing file per device and period",
       kHistoryReportSynopsis, 17, ArgumentCount::kNone},
      {kHistoryStats, "history stats", "", "alarm statistics per device and period",
       kHistoryStatsSynopsis, 17, ArgumentCount::kNone},
      {kHistoryChart, "history chart", "", "the chart of events over time, as an image",
       kHistoryChartSynopsis, 17, ArgumentCount::kNone},
      {kHistoryDevices, "history devices", "",
       "per device: events, copies, gaps, first and last event", kHistoryDevicesSynopsis, 13,
       ArgumentCount::kNone},
      {kHistoryDevicesRename, "history devices rename", "OLD NEW", "give a device another name",
       kHistoryDevicesRenameSynopsis, 17, ArgumentCount::kTwo},
      {kHistoryDevicesRemove, "history devices remove", "NAME",
       "remove a device and everything of it", kHistoryDevicesRemoveSynopsis, 17},
      {kHistoryCopies, "history copies", "", "every copy imported, withdrawn ones too",
       kHistoryCopiesSynopsis, 17, ArgumentCount::kNone},
      {kHistoryCopyFile, "history copy-file", "ID", "write a kept copy back to a file",
       kHistoryCopyFileSynopsis, 13},
      {kHistoryWithdraw, "history withdraw", "ID...", "take copies out of the history",
       kHistoryWithdrawSynopsis, 17, ArgumentCount::kOneOrMore},
      {kHistoryJournal, "history journal", "", "every change of the history, with who and why",
       kHistoryJournalSynopsis, 17, ArgumentCount::kNone},
      {kHistoryGaps, "history gaps", "", "every gap of the history, with its bounds and copies",
       kHistoryGapsSynopsis, 17, ArgumentCount::kNone},
      {kHistoryVerify, "history verify", "", "prove the store unchanged", kHistoryVerifySynopsis,
       17, ArgumentCount::kNone},
      {kHistoryCheck, "history check", "", "the database's own check, then verify",
       kHistoryCheckSynopsis, 17, ArgumentCount::kNone},
      {kHistoryBackup, "history backup", "DEST", "copy the store to a new file and verify it",
       kHistoryBackupSynopsis, 13},
      {kHistoryNamesSet, "history names set", "TEXT", "name an input or a relay of a device",
       kHistoryNamesSetSynopsis, 16},
      {kHistoryNamesImport, "history names import", "FILE", "store the names of a CSV file",
       kHistoryNamesImportSynopsis, 13},
      {kHistoryNamesList, "history names list", "", "every name, as CSV", kHistoryNamesListSynopsis,
       13, ArgumentCount::kNone},
  };
  return table;
}

const std::vector<CommandGroupDeclaration>& CommandGroupTable() {
  static const std::vector<CommandGroupDeclaration> table = {
      {"history", kHistoryGroupSummary, kHistoryGroupSynopsis, kHistoryGroupEpilog, 24},
  };
  return table;
}

const std::vector<OptionDeclaration>& OptionTable() {
  static const std::vector<OptionDeclaration> table = {
      {"--device",
       "",
       OptionKind::kValue,
       "NAME",
       {kHistoryImport, kHistoryWatch, kHistoryList, kHistoryReport, kHistoryStats, kHistoryChart,
        kHistoryNamesSet, kHistoryCopies, kHistoryJournal, kHistoryGaps, kHistoryVerify,
        kHistoryCheck},
       {{{kHistoryImport, kHistoryWatch, kHistoryNamesSet},
         "the device as the operator names it: any text, for\n"
         "example 3 or \"Склад, ТОРВ-4 №2\""},
        {{kHistoryList, kHistoryStats, kHistoryChart},
         "only the events of this device (again for more)"},
        {{kHistoryCopies}, "only the copies of this device (again for more)"},
        {{kHistoryJournal}, "only the entries of this device (again for more)"},
        {{kHistoryGaps}, "only the gaps of this device (again for more)"},
        {{kHistoryVerify, kHistoryCheck},
         "only this device (again for more; the journal is checked\nwhole)"},
        {{kHistoryReport},
         "only this device (again for more; default: one file for\neach device)"}},
       ApplyDevice,
       true},
      {"--device-from-folder",
       "",
       OptionKind::kFlag,
       "",
       {kHistoryImport, kHistoryWatch},
       {{{kHistoryImport, kHistoryWatch}, "each copy's device is the name of its folder"}},
       ApplyDeviceFromFolder},
      {"--device-from-name",
       "",
       OptionKind::kValue,
       "REGEX",
       {kHistoryImport, kHistoryWatch},
       {{{kHistoryImport, kHistoryWatch},
         "each copy's device is the part of its file name that\n"
         "REGEX (ECMAScript) matches, its first group if it has one"}},
       ApplyDeviceFromName},
      {"--interval",
       "",
       OptionKind::kValue,
       "SECONDS",
       {kHistoryWatch},
       {{{kHistoryWatch}, "look at the folders every SECONDS, 1 to 3600 (default 5)"}},
       ApplyWatchInterval},
      {"--settle",
       "",
       OptionKind::kValue,
       "SECONDS",
       {kHistoryWatch},
       {{{kHistoryWatch},
         "take a copy once its size and time have not changed for\n"
         "SECONDS, 0 to 3600 (default 5)"}},
       ApplyWatchSettle},
      {"--state",
       "",
       OptionKind::kValue,
       "FILE",
       {kHistoryWatch},
       {{{kHistoryWatch},
         "where the copies taken are kept (default\n"
         "$XDG_STATE_HOME/torvdoc/watch.state, ~/.local/state when\n"
         "XDG_STATE_HOME is unset)"}},
       ApplyWatchState},
      {"--quiet",
       "",
       OptionKind::kFlag,
       "",
       {kHistoryImport},
       {{{kHistoryImport}, "print only the totals and the problems"}},
       ApplyQuiet},
      {"--copied-at",
       "",
       OptionKind::kValue,
       "T",
       {kHistoryImport},
       {{{kHistoryImport},
         "when the copies were taken, YYYY-MM-DDTHH:MM:SS local\n"
         "time (default: each file's modification time); the\n"
         "years of the events are counted back from it"}},
       ApplyCopiedAt},
      {"--new-device",
       "",
       OptionKind::kFlag,
       "",
       {kHistoryImport, kHistoryWatch},
       {{{kHistoryImport, kHistoryWatch},
         "start the history of a device not stored yet (without\n"
         "it, a copy of a device that is not stored is refused)"}},
       ApplyNewDevice},
      {"--force-device",
       "",
       OptionKind::kFlag,
       "",
       {kHistoryImport},
       {{{kHistoryImport},
         "store a copy that shares no event with the device's\n"
         "history over its time (refused as another device's copy\n"
         "without it) as a stretch of its own"}},
       ApplyForceDevice},
      {"--reason",
       "",
       OptionKind::kValue,
       "TEXT",
       {kHistoryWithdraw, kHistoryDevicesRename, kHistoryDevicesRemove},
       {{{kHistoryWithdraw, kHistoryDevicesRename, kHistoryDevicesRemove},
         "why, kept in the journal"}},
       ApplyReason},
      {"--listing",
       "",
       OptionKind::kValue,
       "DIGEST",
       {kHistoryVerify},
       {{{kHistoryVerify},
         "whether the store still gives the listing whose digest\n"
         "(SHA-256) is DIGEST, with the same filters as it was\n"
         "listed with, and from which journal entry on it changed"}},
       ApplyListing},
      {"--from",
       "",
       OptionKind::kValue,
       "DATE",
       {kHistoryList, kHistoryReport, kHistoryStats, kHistoryChart, kHistoryGaps, kHistoryVerify},
       {{{kHistoryList, kHistoryReport, kHistoryStats, kHistoryChart, kHistoryVerify},
         "events on DATE (YYYY-MM-DD or DD.MM.YYYY) or later;\n"
         "leaves out events without a year"},
        {{kHistoryGaps}, "gaps that end on DATE (YYYY-MM-DD or DD.MM.YYYY) or later"}},
       ApplyFrom},
      {"--to",
       "",
       OptionKind::kValue,
       "DATE",
       {kHistoryList, kHistoryReport, kHistoryStats, kHistoryChart, kHistoryGaps, kHistoryVerify},
       {{{kHistoryList, kHistoryReport, kHistoryStats, kHistoryChart, kHistoryVerify},
         "events on DATE (YYYY-MM-DD or DD.MM.YYYY) or earlier;\n"
         "leaves out events without a year"},
        {{kHistoryGaps}, "gaps that start on DATE (YYYY-MM-DD or DD.MM.YYYY) or\nearlier"}},
       ApplyTo},
      {"--period",
       "",
       OptionKind::kValue,
       "P",
       {kHistoryList, kHistoryReport, kHistoryStats, kHistoryChart, kHistoryGaps, kHistoryVerify},
       {{{kHistoryList, kHistoryReport, kHistoryStats, kHistoryChart, kHistoryVerify},
         "the events of a calendar period in local time: YYYY-MM,\n"
         "MM.YYYY, YYYY-QN, YYYY, today, yesterday, this-week,\n"
         "last-week, this-month, last-month, this-quarter,\n"
         "last-quarter, this-year or last-year (weeks from Monday)"},
        {{kHistoryGaps}, "the gaps that reach into a calendar period, as history\nlist takes it"}},
       ApplyPeriod},
      {"--bin",
       "",
       OptionKind::kValue,
       "B",
       {kHistoryChart},
       {{{kHistoryChart},
         "a bar per day, week or month (default: the one that\n"
         "gives 20 to 200 bars)"}},
       ApplyChartBin},
      {"--size",
       "",
       OptionKind::kValue,
       "WxH",
       {kHistoryChart},
       {{{kHistoryChart}, "the image's width and height in pixels (default\n1200x400)"}},
       ApplyChartSize},
      {"--block",
       "",
       OptionKind::kValue,
       "K",
       {kView},
       {{{kView}, "block K, 1 (newest, the default) to 64 (oldest)"}},
       ApplyBlock},
      {"--date",
       "",
       OptionKind::kValue,
       "DD.MM",
       {kView},
       {{{kView}, "the block that starts at the newest record of that day"}},
       ApplyDate},
      {"--input",
       "",
       OptionKind::kValue,
       "N",
       {kView, kHistoryList, kHistoryStats, kHistoryChart, kHistoryNamesSet, kHistoryVerify},
       {{{kView}, "every event of input N (1 to 32), newest first"},
        {{kHistoryList, kHistoryStats, kHistoryChart, kHistoryVerify},
         "the input events (codes 0, 1, 2) of these inputs, a\n"
         "list like 3,7,12-15 (1 to 256)"},
        {{kHistoryNamesSet}, "name the input N (1 to 256)"}},
       ApplyInput},
      {"--events",
       "",
       OptionKind::kValue,
       "KINDS",
       {kHistoryList, kHistoryChart, kHistoryVerify},
       {{{kHistoryList, kHistoryChart, kHistoryVerify},
         "only these kinds, a comma list of input (alarm,\n"
         "warning, normal), device, relay, damaged, other"}},
       ApplyEvents},
      {"--code",
       "",
       OptionKind::kValue,
       "CODES",
       {kHistoryList, kHistoryChart, kHistoryVerify},
       {{{kHistoryList, kHistoryChart, kHistoryVerify},
         "only the events of these codes (byte 0), a list like\n2,50-51 (0 to 255)"}},
       ApplyCode},
      {"--text",
       "",
       OptionKind::kValue,
       "TEXT",
       {kHistoryList, kHistoryChart, kHistoryVerify},
       {{{kHistoryList, kHistoryChart, kHistoryVerify},
         "only the events whose text, or the name of whose input\n"
         "or relay, holds TEXT (any case, spaces as one)"}},
       ApplyText},
      {"--newest-first",
       "",
       OptionKind::kFlag,
       "",
       {kHistoryList, kHistoryVerify},
       {{{kHistoryList, kHistoryVerify}, "the newest event first"}},
       ApplyNewestFirst},
      {"--relay",
       "",
       OptionKind::kValue,
       "N",
       {kHistoryList, kHistoryChart, kHistoryNamesSet, kHistoryVerify},
       {{{kHistoryList, kHistoryChart, kHistoryVerify},
         "the relay events of these relays, a list like 1,4-6\n(1 to 256)"},
        {{kHistoryNamesSet}, "name the relay N (1 to 256)"}},
       ApplyRelay},
      {"--steps",
       "",
       OptionKind::kValue,
       "SEQ",
       {kView},
       {{{kView},
         "then step: b = one block older, f = one block newer\n"
         "(not with --input); the last view is shown"}},
       ApplySteps},
      {"--format",
       "",
       OptionKind::kValue,
       "F",
       {kView, kReport, kInfo, kHistoryList, kHistoryReport, kHistoryStats, kHistoryChart,
        kHistoryDevices, kHistoryCopies, kHistoryJournal, kHistoryGaps},
       {{{kView},
         "text (the report, default), csv (one row per record),\n"
         "json (the view with every record decoded) or rtf (the\n"
         "report as the window saves it)"},
        {{kReport},
         "text (the report, default), csv (one row per record),\n"
         "json (every record decoded) or rtf (the report as the\n"
         "window saves it)"},
        {{kInfo, kHistoryDevices}, "text (default) or json"},
        {{kHistoryStats},
         "text (default), csv (one row per figure), json or pdf\n"
         "(the figures, then the notes that define them)"},
        {{kHistoryChart}, "png (default) or svg"},
        {{kHistoryCopies, kHistoryJournal, kHistoryGaps},
         "text (default, TAB between the fields), csv or json"},
        {{kHistoryList, kHistoryReport},
         "text (default, TAB between the fields), csv, json or pdf\n"
         "(the printed report, as the history window prints it)"}},
       ApplyFormat},
      {"--bom",
       "",
       OptionKind::kFlag,
       "",
       {kView, kReport, kHistoryList, kHistoryReport, kHistoryStats},
       {{{kView, kReport, kHistoryList, kHistoryReport, kHistoryStats},
         "start the CSV with a UTF-8 byte order mark"}},
       ApplyByteOrderMark},
      {"--heading",
       "",
       OptionKind::kFlag,
       "",
       {kHistoryList, kHistoryReport},
       {{{kHistoryList, kHistoryReport},
         "CSV: what the listing shows and covers before the\n"
         "column row, and its digest after the last row"}},
       ApplyHeading},
      {"--csv-dialect",
       "",
       OptionKind::kValue,
       "D",
       {kView, kReport, kHistoryList, kHistoryReport, kHistoryStats},
       {{{kView, kReport, kHistoryList, kHistoryReport, kHistoryStats},
         "rfc4180 (the default: \",\" between cells, CRLF) or excel\n"
         "(UTF-8 with a byte order mark, \";\", CRLF, times and dates\n"
         "always quoted), for --format csv"}},
       ApplyCsvDialect},
      {"--output",
       "-o",
       OptionKind::kValue,
       "P",
       {kView, kReport, kInfo, kHistoryList, kHistoryReport, kHistoryStats, kHistoryChart,
        kHistoryCopyFile},
       {{{kView, kReport, kInfo, kHistoryList, kHistoryStats},
         "write to the file P instead of standard output (- is\n"
         "standard output); the file is replaced whole or not at\n"
         "all, keeping its permissions; a link keeps leading to it"},
        {{kHistoryCopyFile, kHistoryChart},
         "the file to write, replaced whole or not at all; never\n"
         "the store itself"},
        {{kHistoryReport},
         "the files to write, each replaced whole or not at all:\n"
         "{device} and {period} in P stand for the device and the\n"
         "period (2026-11, 2026-Q4, 2026, or FROM_TO)"}},
       ApplyOutput},
      {"--encoding",
       "",
       OptionKind::kValue,
       "E",
       {kView, kReport, kInfo},
       {{{kView, kReport, kInfo},
         "utf-8 or cp1251, for --format text only; by default the\n"
         "locale's: cp1251 when its codeset is Windows-1251 (CP1251),\n"
         "utf-8 for any other"}},
       ApplyEncoding},
      {"--seed",
       "",
       OptionKind::kValue,
       "N",
       {kSample},
       {{{kSample}, "seed of the generator, 0 to 4294967295 (default 1)"}},
       ApplySeed},
      {"--fill",
       "",
       OptionKind::kValue,
       "N",
       {kSample},
       {{{kSample},
         "records the device has written, 0 to 1000000 (default 1500);\n"
         "0 gives an empty archive, more than 1024 a wrapped ring"}},
       ApplyFill},
      {"--force",
       "",
       OptionKind::kFlag,
       "",
       {kSample},
       {{{kSample}, "replace OUT when it exists (it may be an archive's copy)"}},
       ApplyForce},
      {"--db",
       "",
       OptionKind::kValue,
       "STORE",
       {kHistoryImport,        kHistoryWatch,    kHistoryList,        kHistoryReport,
        kHistoryStats,         kHistoryChart,    kHistoryDevices,     kHistoryDevicesRename,
        kHistoryDevicesRemove, kHistoryCopies,   kHistoryCopyFile,    kHistoryWithdraw,
        kHistoryJournal,       kHistoryGaps,     kHistoryVerify,      kHistoryCheck,
        kHistoryBackup,        kHistoryNamesSet, kHistoryNamesImport, kHistoryNamesList},
       {{{kHistoryImport,        kHistoryWatch,    kHistoryList,        kHistoryReport,
          kHistoryStats,         kHistoryChart,    kHistoryDevices,     kHistoryDevicesRename,
          kHistoryDevicesRemove, kHistoryCopies,   kHistoryCopyFile,    kHistoryWithdraw,
          kHistoryJournal,       kHistoryGaps,     kHistoryVerify,      kHistoryCheck,
          kHistoryBackup,        kHistoryNamesSet, kHistoryNamesImport, kHistoryNamesList},
         "the history store: an SQLite file (PATH or sqlite:PATH)\n"
         "or a PostgreSQL server (postgresql://...); default\n"
         "$TORVDOC_DB, else $XDG_DATA_HOME/torvdoc/history.sqlite3\n"
         "(~/.local/share for $XDG_DATA_HOME when it is unset)"}},
       ApplyDb},
  };
  return table;
}

const CommandDeclaration* FindCommandIn(const std::vector<std::string>& args, std::size_t& words) {
  const CommandDeclaration* found = nullptr;
  std::size_t prefixWords = 0;
  words = 0;
  std::string name;
  for (std::size_t n = 0; n < args.size(); ++n) {
    name += (n == 0 ? "" : " ") + args[n];
    bool begins = false;
    for (const CommandDeclaration& declared : CommandTable()) {
      if (declared.name == name) {
        found = &declared;
        words = n + 1;
      } else if (declared.name.substr(0, name.size() + 1) == name + " ") {
        begins = true;
      }
    }
    if (!begins) break;
    prefixWords = n + 1;
  }
  if (found == nullptr) words = prefixWords;
  return found;
}

const CommandGroupDeclaration* FindCommandGroup(std::string_view name) {
  for (const CommandGroupDeclaration& group : CommandGroupTable()) {
    if (group.name == name) return &group;
  }
  return nullptr;
}

const CommandDeclaration& CommandDeclarationOf(CliCommand command) {
  for (const CommandDeclaration& declared : CommandTable()) {
    if (declared.command == command) return declared;
  }
  return CommandTable().front();
}

const OptionDeclaration* FindOption(std::string_view spelling) {
  for (const OptionDeclaration& declared : OptionTable()) {
    if (declared.name == spelling ||
        (!declared.shortName.empty() && declared.shortName == spelling)) {
      return &declared;
    }
  }
  return nullptr;
}

}  // namespace torv
