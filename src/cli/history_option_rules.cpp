#include "cli/history_option_rules.h"

#include <algorithm>
#include <charconv>
#include <limits>

#include "archive/view_request.h"
#include "cli/cli_output.h"
#include "history/archive_copy.h"
#include "history/calendar_period.h"
#include "history/import_sources.h"
#include "history/operator_text.h"
#include "history/query_texts.h"
#include "history/selection_texts.h"
#include "history/text_match.h"
#include "history_report/chart_data.h"
#include "history_report/listing_check.h"

namespace torv {
namespace {

using enum CliCommand;

UsageProblem ApplyDate(const OptionDeclaration& declared, std::string_view value,
                       std::optional<history::CalendarDate>& date) {
  Result<history::CalendarDate> parsed = history::ParseCalendarDate(value);
  if (!parsed)
    return std::string(declared.name) + " wants a date YYYY-MM-DD or DD.MM.YYYY, not " +
           QuotedValue(value);
  date = *parsed;
  return {};
}

UsageProblem ApplyNamedNumber(const OptionDeclaration& declared, std::string_view value,
                              std::optional<int>& number) {
  return ParseOptionNumberInto(declared.name, value, history::kFirstNamedNumber,
                               history::kLastNamedNumber, number);
}

UsageProblem ApplyNumberList(const OptionDeclaration& declared, std::string_view value, int first,
                             int last, std::vector<int>& numbers) {
  Result<std::vector<int>> parsed = history::ParseNumberList(value, first, last);
  if (!parsed) return std::string(declared.name) + ": " + parsed.failure().reason;
  numbers = *parsed;
  return {};
}

std::string DateText(const history::CalendarDate& date) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
  return text;
}

}  // namespace

bool IsHistoryCommand(CliCommand command) {
  switch (command) {
    case kHistoryImport:
    case kHistoryWatch:
    case kHistoryList:
    case kHistoryReport:
    case kHistoryStats:
    case kHistoryChart:
    case kHistoryDevices:
    case kHistoryDevicesRename:
    case kHistoryDevicesRemove:
    case kHistoryCopies:
    case kHistoryCopyFile:
    case kHistoryWithdraw:
    case kHistoryJournal:
    case kHistoryGaps:
    case kHistoryVerify:
    case kHistoryCheck:
    case kHistoryBackup:
    case kHistoryNamesSet:
    case kHistoryNamesImport:
    case kHistoryNamesList:
      return true;
    case kView:
    case kReport:
    case kInfo:
    case kSample:
      break;
  }
  return false;
}

UsageProblem ApplyDb(const OptionDeclaration& declared, std::string_view value,
                     CliOptions& options) {
  if (value.empty()) return std::string(declared.name) + " wants a store: a file or a URI";
  options.history.db = value;
  return {};
}

UsageProblem ApplyDevice(const OptionDeclaration& declared, std::string_view value,
                         CliOptions& options) {
  if (value.empty()) return std::string(declared.name) + " wants a device name";
  if (auto problem = history::OperatorTextProblem(value, "the device name")) {
    return std::string(declared.name) + ": " + *problem;
  }
  std::vector<std::string>& devices = options.history.query.devices;
  if (std::find(devices.begin(), devices.end(), value) != devices.end()) {
    return std::string(declared.name) + " " + QuotedValue(value) + " given twice";
  }
  devices.emplace_back(value);
  return {};
}

UsageProblem ApplyDeviceFromFolder(const OptionDeclaration& /*declared*/, std::string_view /*flag*/,
                                   CliOptions& options) {
  options.history.deviceFromFolder = true;
  return {};
}

UsageProblem ApplyDeviceFromName(const OptionDeclaration& declared, std::string_view value,
                                 CliOptions& options) {
  if (Status pattern = history::CheckDeviceNamePattern(std::string(value)); !pattern) {
    return std::string(declared.name) + " wants a regular expression: " + pattern.failure().reason;
  }
  options.history.deviceFromName = value;
  return {};
}

UsageProblem ApplyWatchInterval(const OptionDeclaration& declared, std::string_view value,
                                CliOptions& options) {
  return ParseOptionNumberInto(declared.name, value, 1, 3600, options.history.watchInterval);
}

UsageProblem ApplyWatchSettle(const OptionDeclaration& declared, std::string_view value,
                              CliOptions& options) {
  return ParseOptionNumberInto(declared.name, value, 0, 3600, options.history.watchSettle);
}

UsageProblem ApplyWatchState(const OptionDeclaration& declared, std::string_view value,
                             CliOptions& options) {
  if (value.empty()) return std::string(declared.name) + " wants a file";
  options.history.watchState = value;
  return {};
}

UsageProblem ApplyQuiet(const OptionDeclaration& /*declared*/, std::string_view /*flag*/,
                        CliOptions& options) {
  options.history.quiet = true;
  return {};
}

UsageProblem ApplyNewDevice(const OptionDeclaration& /*declared*/, std::string_view /*flag*/,
                            CliOptions& options) {
  options.history.newDevice = true;
  return {};
}

UsageProblem ApplyForceDevice(const OptionDeclaration& /*declared*/, std::string_view /*flag*/,
                              CliOptions& options) {
  options.history.forceDevice = true;
  return {};
}

UsageProblem ApplyCopiedAt(const OptionDeclaration& declared, std::string_view value,
                           CliOptions& options) {
  Result<history::CopyTime> parsed = history::ParseCopiedAt(value);
  if (!parsed) {
    return std::string(declared.name) + " wants a local time YYYY-MM-DDTHH:MM:SS, not " +
           QuotedValue(value);
  }
  options.history.copiedAt = *parsed;
  return {};
}

UsageProblem ApplyFrom(const OptionDeclaration& declared, std::string_view value,
                       CliOptions& options) {
  return ApplyDate(declared, value, options.history.query.from);
}

UsageProblem ApplyTo(const OptionDeclaration& declared, std::string_view value,
                     CliOptions& options) {
  return ApplyDate(declared, value, options.history.query.to);
}

UsageProblem ApplyPeriod(const OptionDeclaration& declared, std::string_view value,
                         CliOptions& options) {
  Result<history::CalendarPeriod> period =
      history::ParseCalendarPeriod(value, history::LocalToday());
  if (!period) {
    return std::string(declared.name) + " wants a period (" +
           std::string(history::kCalendarPeriodNames) + "), not " + QuotedValue(value);
  }
  options.history.query.from = period->from;
  options.history.query.to = period->to;
  return {};
}

UsageProblem ApplyEvents(const OptionDeclaration& declared, std::string_view value,
                         CliOptions& options) {
  Result<history::EventSelection> selection = history::ParseEventSelection(value);
  if (!selection) return std::string(declared.name) + ": " + selection.failure().reason;
  options.history.query.kinds = selection->kinds;
  options.history.query.types = selection->types;
  return {};
}

UsageProblem ApplyCode(const OptionDeclaration& declared, std::string_view value,
                       CliOptions& options) {
  return ApplyNumberList(declared, value, 0, kDamagedCode, options.history.query.codes);
}

UsageProblem ApplyText(const OptionDeclaration& declared, std::string_view value,
                       CliOptions& options) {
  if (history::FoldForMatch(value).empty())
    return std::string(declared.name) + " wants a text to find";
  if (auto problem = history::OperatorTextProblem(value, "the text")) {
    return std::string(declared.name) + ": " + *problem;
  }
  options.history.query.text = value;
  return {};
}

UsageProblem ApplyListing(const OptionDeclaration& declared, std::string_view value,
                          CliOptions& options) {
  if (!IsListingDigest(value)) {
    return std::string(declared.name) + " wants a listing's digest, 64 hexadecimal digits, not " +
           QuotedValue(value);
  }
  options.history.listingDigest = value;
  return {};
}

UsageProblem ApplyHeading(const OptionDeclaration& /*declared*/, std::string_view /*flag*/,
                          CliOptions& options) {
  options.history.heading = true;
  return {};
}

UsageProblem ApplyChartBin(const OptionDeclaration& declared, std::string_view value,
                           CliOptions& options) {
  if (!ChartBinNamed(value)) {
    return std::string(declared.name) + " is day, week or month, not " + QuotedValue(value);
  }
  options.history.chartBin = value;
  return {};
}

UsageProblem ApplyChartSize(const OptionDeclaration& declared, std::string_view value,
                            CliOptions& options) {
  // Large enough for the legend and the dates, small enough to hold in memory.
  constexpr int kSmallest = 200;
  constexpr int kLargest = 8000;
  const std::size_t x = value.find('x');
  int width = 0;
  int height = 0;
  const auto number = [](std::string_view text, int& out) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out);
    return error == std::errc() && end == text.data() + text.size() && !text.empty();
  };
  if (x == std::string_view::npos || !number(value.substr(0, x), width) ||
      !number(value.substr(x + 1), height) || width < kSmallest || width > kLargest ||
      height < kSmallest || height > kLargest) {
    return std::string(declared.name) + " wants WIDTHxHEIGHT in pixels, each " +
           std::to_string(kSmallest) + " to " + std::to_string(kLargest) + ", not " +
           QuotedValue(value);
  }
  options.history.chartWidth = width;
  options.history.chartHeight = height;
  return {};
}

UsageProblem ApplyNewestFirst(const OptionDeclaration& /*declared*/, std::string_view /*flag*/,
                              CliOptions& options) {
  options.history.query.newestFirst = true;
  return {};
}

UsageProblem ApplyRelay(const OptionDeclaration& declared, std::string_view value,
                        CliOptions& options) {
  if (options.command == kHistoryNamesSet) {
    return ApplyNamedNumber(declared, value, options.history.relay);
  }
  return ApplyNumberList(declared, value, history::kFirstNamedNumber, history::kLastNamedNumber,
                         options.history.query.relays);
}

UsageProblem ApplyHistoryInput(const OptionDeclaration& declared, std::string_view value,
                               CliOptions& options) {
  history::EventQuery& query = options.history.query;
  if (options.command == kHistoryNamesSet) return ApplyNamedNumber(declared, value, query.input);
  const UsageProblem problem = ApplyNumberList(declared, value, history::kFirstNamedNumber,
                                               history::kLastNamedNumber, query.inputs);
  // One input is the query's one input, as the window sets it.
  if (problem.empty() && query.inputs.size() == 1) {
    query.input = query.inputs.front();
    query.inputs.clear();
  }
  return problem;
}

UsageProblem ApplyReason(const OptionDeclaration& declared, std::string_view value,
                         CliOptions& options) {
  if (auto problem = history::OperatorTextProblem(value, "the reason")) {
    return std::string(declared.name) + ": " + *problem;
  }
  options.history.reason = value;
  return {};
}

namespace {

// copy-file and withdraw name copies by their numbers.
UsageProblem ParseCopyIds(CliOptions& options) {
  for (const std::string& argument : options.arguments) {
    std::int64_t id = 0;
    if (UsageProblem problem = ParseOptionNumberInto("a copy", argument, 1,
                                                     std::numeric_limits<std::int64_t>::max(), id);
        !problem.empty()) {
      return "a copy is named by its number (history copies lists them), not " +
             QuotedValue(argument);
    }
    options.history.copyIds.push_back(id);
  }
  return {};
}

}  // namespace

UsageProblem HistoryUsageProblem(const std::set<std::string_view>& seen, CliOptions& options) {
  const history::EventQuery& query = options.history.query;
  const std::size_t namings = seen.count("--device") + seen.count("--device-from-folder") +
                              seen.count("--device-from-name");
  const bool importsCopies = options.command == kHistoryImport || options.command == kHistoryWatch;
  if (importsCopies && namings != 1) {
    return namings == 0 ? "missing --device NAME (or --device-from-folder, --device-from-name)"
                        : "give one of --device, --device-from-folder and --device-from-name";
  }
  if (options.command == kHistoryNamesSet && query.devices.empty()) return "missing --device NAME";
  if ((importsCopies || options.command == kHistoryNamesSet) && query.devices.size() > 1) {
    return "give one --device: each copy or name belongs to one device";
  }
  if (options.command == kHistoryCopyFile || options.command == kHistoryWithdraw) {
    if (UsageProblem problem = ParseCopyIds(options); !problem.empty()) return problem;
  }
  if (options.command == kHistoryCopyFile &&
      (options.outputPath.empty() || options.outputPath == kStandardStream)) {
    return "history copy-file writes a file: give -o FILE";
  }
  if (options.command == kHistoryChart &&
      (options.outputPath.empty() || options.outputPath == kStandardStream)) {
    return "history chart writes an image file: give -o FILE";
  }
  // A copy is kept with its file's name and time, which standard input has not.
  const bool readsFiles =
      options.command == kHistoryImport || options.command == kHistoryNamesImport;
  if (readsFiles && std::find(options.arguments.begin(), options.arguments.end(),
                              kStandardStream) != options.arguments.end()) {
    return "history imports read files, not standard input (a file named - is ./-)";
  }
  if (options.command == kHistoryNamesSet && seen.count("--input") + seen.count("--relay") != 1) {
    return "give one of --input N and --relay N";
  }
  if (options.command == kHistoryReport) {
    if (options.outputPath.empty() || options.outputPath == kStandardStream) {
      return "history report writes files: give -o PATTERN";
    }
    if (query.devices.size() != 1 && options.outputPath.find("{device}") == std::string::npos) {
      return "-o PATTERN needs {device} unless --device names one device";
    }
  }
  if (options.command == kHistoryVerify && !options.history.listingDigest) {
    for (const std::string_view filter : {"--from", "--to", "--period", "--input", "--events",
                                          "--code", "--text", "--newest-first", "--relay"}) {
      if (seen.count(filter) != 0) {
        return std::string(filter) + " is a listing's filter: give it with --listing DIGEST";
      }
    }
  }
  if (seen.count("--period") != 0 && seen.count("--from") + seen.count("--to") != 0) {
    return "give --period, or --from and --to, not both";
  }
  if (query.from && query.to && query.from->Key() > query.to->Key()) {
    return "--from " + DateText(*query.from) + " is after --to " + DateText(*query.to);
  }
  return {};
}

}  // namespace torv
