#include "cli/cli_options.h"

#include <charconv>
#include <optional>
#include <set>
#include <string_view>

#include "archive/date_key.h"
#include "archive/view_request.h"
#include "cli/cli_usage.h"

namespace torv {
namespace {

constexpr std::string_view kHelpOption = "--help";
constexpr std::string_view kEndOfOptions = "--";

// The fault of a wrong command line, in a few words; empty when there is none.
using UsageProblem = std::string;

std::optional<CliCommand> CommandNamed(std::string_view name) {
  if (name == "view") return CliCommand::kView;
  if (name == "report") return CliCommand::kReport;
  if (name == "info") return CliCommand::kInfo;
  if (name == "sample") return CliCommand::kSample;
  return std::nullopt;
}

// Short spellings stand for their long option, so that "-o" and "--output"
// count as the same option when given twice.
std::string_view LongOption(std::string_view option) {
  if (option == "-o") return "--output";
  return option;
}

bool TakesNoValue(std::string_view option) {
  return option == "--bom";
}

bool CommandTakes(CliCommand command, std::string_view option) {
  const bool exportOption =
      option == "--encoding" || option == "--format" || option == "--bom" || option == "--output";
  switch (command) {
    case CliCommand::kView:
      return option == "--block" || option == "--date" || option == "--input" ||
             option == "--steps" || exportOption;
    case CliCommand::kReport:
      return exportOption;
    case CliCommand::kInfo:
      return option == "--format" || option == "--output";
    case CliCommand::kSample:
      return option == "--seed" || option == "--fill";
  }
  return false;
}

UsageProblem ParseFormat(CliCommand command, const std::string& value, OutputFormat& format) {
  if (value == "text") {
    format = OutputFormat::kText;
  } else if (value == "json") {
    format = OutputFormat::kJson;
  } else if (value == "csv" && command != CliCommand::kInfo) {
    format = OutputFormat::kCsv;
  } else if (value == "rtf" && command != CliCommand::kInfo) {
    format = OutputFormat::kRtf;
  } else if (command == CliCommand::kInfo) {
    return "--format is text or json, not \"" + value + "\"";
  } else {
    return "--format is text, csv, json or rtf, not \"" + value + "\"";
  }
  return {};
}

// Plain decimal digits only: no sign, no spaces, no suffix.
template <typename Number>
UsageProblem ParseNumber(std::string_view option, std::string_view value, long long low,
                         long long high, Number& number) {
  long long parsed = 0;
  const char* end = value.data() + value.size();
  const bool digitsOnly =
      !value.empty() && value.find_first_not_of("0123456789") == std::string_view::npos;
  const auto [stop, error] = std::from_chars(value.data(), end, parsed);
  if (!digitsOnly || error != std::errc() || stop != end || parsed < low || parsed > high) {
    return std::string(option) + " wants a number from " + std::to_string(low) + " to " +
           std::to_string(high) + ", not \"" + std::string(value) + "\"";
  }
  number = static_cast<Number>(parsed);
  return {};
}

UsageProblem ApplyOption(std::string_view option, const std::string& value, CliOptions& options) {
  if (option == "--block") {
    options.viewKind = ViewKind::kBlock;
    return ParseNumber(option, value, kNewestBlock, kOldestBlock, options.blocksBack);
  }
  if (option == "--date") {
    if (!IsWholeDateKey(value)) {
      return "--date wants at least five characters (DD.MM), not \"" + value + "\"";
    }
    options.viewKind = ViewKind::kDate;
    options.dateKey = value;
    return {};
  }
  if (option == "--input") {
    options.viewKind = ViewKind::kInput;
    return ParseNumber(option, value, kFirstInputNumber, kLastInputNumber, options.inputNumber);
  }
  if (option == "--steps") {
    if (value.find_first_not_of(std::string{kStepBackward, kStepForward}) != std::string::npos) {
      return "--steps takes only the letters b and f, not \"" + value + "\"";
    }
    options.steps = value;
    return {};
  }
  if (option == "--encoding") {
    if (value == "utf-8") {
      options.encoding = OutputEncoding::kUtf8;
    } else if (value == "cp1251") {
      options.encoding = OutputEncoding::kCp1251;
    } else {
      return "--encoding is utf-8 or cp1251, not \"" + value + "\"";
    }
    return {};
  }
  if (option == "--format") return ParseFormat(options.command, value, options.format);
  if (option == "--output") {
    if (value.empty()) return "--output wants a file name";
    options.outputPath = value;
    return {};
  }
  if (option == "--seed") return ParseNumber(option, value, 0, UINT32_MAX, options.seed);
  if (option == "--fill") return ParseNumber(option, value, 0, kMaxSampleFill, options.fill);
  return "unknown option \"" + std::string(option) + "\"";
}

// Parses the arguments after the command name into `options`; sets `help`
// when help was asked.
UsageProblem ParseCommandArgs(const std::vector<std::string>& args, CliOptions& options,
                              bool& help) {
  std::set<std::string_view> seen;
  bool havePath = false;
  bool optionsEnded = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    // A lone "-" is a file name; "--" makes every later argument one.
    const bool looksLikeOption = !optionsEnded && arg.size() > 1 && arg[0] == '-';
    if (!looksLikeOption) {
      if (havePath) return "unexpected argument \"" + arg + "\"";
      options.path = arg;
      havePath = true;
      continue;
    }
    if (arg == kEndOfOptions) {
      optionsEnded = true;
      continue;
    }
    if (arg == kHelpOption) {
      help = true;
      return {};
    }
    const std::string_view option = LongOption(arg);
    if (!CommandTakes(options.command, option)) return "unknown option \"" + arg + "\"";
    if (!seen.insert(option).second) return "option " + std::string(option) + " given twice";
    if (TakesNoValue(option)) {
      options.byteOrderMark = true;
      continue;
    }
    if (i + 1 >= args.size()) return "option " + arg + " wants a value";
    UsageProblem problem = ApplyOption(option, args[++i], options);
    if (!problem.empty()) return problem;
  }

  const std::size_t viewChoices =
      seen.count("--block") + seen.count("--date") + seen.count("--input");
  if (viewChoices > 1) return "give only one of --block, --date and --input";
  if (seen.count("--steps") != 0 && seen.count("--input") != 0) {
    return "--steps cannot be used with --input";
  }
  if (options.byteOrderMark && options.format != OutputFormat::kCsv) {
    return "--bom needs --format csv";
  }
  if (seen.count("--encoding") != 0 && options.format != OutputFormat::kText) {
    return "--encoding applies only to --format text";
  }
  if (!havePath || options.path.empty()) {
    return options.command == CliCommand::kSample ? "missing OUT" : "missing FILE";
  }
  return {};
}

ParsedCommandLine UsageError(const std::string& problem, const std::string& usage) {
  ParsedCommandLine parsed;
  parsed.outcome = ParsedCommandLine::Outcome::kUsageError;
  parsed.text = std::string(kProgramName) + ": " + problem + "\n" + usage;
  return parsed;
}

ParsedCommandLine Help(const std::string& usage) {
  ParsedCommandLine parsed;
  parsed.outcome = ParsedCommandLine::Outcome::kHelp;
  parsed.text = usage;
  return parsed;
}

}  // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args) {
  if (args.empty()) return UsageError("missing command", ToolUsage());
  if (args[0] == kHelpOption) return Help(ToolUsage());
  const std::optional<CliCommand> command = CommandNamed(args[0]);
  if (!command) return UsageError("unknown command \"" + args[0] + "\"", ToolUsage());

  ParsedCommandLine parsed;
  parsed.options.command = *command;
  bool help = false;
  const UsageProblem problem = ParseCommandArgs(args, parsed.options, help);
  if (help) return Help(CommandUsage(*command));
  if (!problem.empty()) return UsageError(problem, CommandUsage(*command));
  return parsed;
}

}  // namespace torv
