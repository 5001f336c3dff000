#include "cli/cli_options.h"

#include <algorithm>
#include <optional>
#include <set>
#include <string_view>

#include "cli/cli_messages.h"
#include "cli/cli_option_table.h"
#include "cli/cli_usage.h"
#include "cli/history_option_rules.h"

namespace torv {
namespace {

constexpr std::string_view kEndOfOptions = "--";
constexpr std::string_view kLongPrefix = "--";
// The format --bom and --csv-dialect are for.
constexpr std::string_view kCsvFormat = "csv";

// What the arguments after the command name ask for besides a run.
enum class Request { kRun, kHelp, kVersion };

bool IsHelp(std::string_view arg) {
  return arg == kHelpOption || arg == kHelpShortOption;
}

bool LooksLikeOption(std::string_view arg) {
  return arg.size() > 1 && arg[0] == '-';
}

// An option as typed: its spelling, and a value written into the same
// argument ("--block=3", "-oout.csv").
struct TypedOption {
  std::string_view spelling;
  std::optional<std::string_view> attached;
};

TypedOption SplitOption(std::string_view arg) {
  if (arg.substr(0, kLongPrefix.size()) == kLongPrefix) {
    const std::size_t equals = arg.find('=');
    if (equals == std::string_view::npos) return {arg, std::nullopt};
    return {arg.substr(0, equals), arg.substr(equals + 1)};
  }
  // A short option is a dash and one letter; anything after it is its value.
  if (arg.size() > 2) return {arg.substr(0, 2), arg.substr(2)};
  return {arg, std::nullopt};
}

bool TakesAnotherArgument(const CommandDeclaration& command, const CliOptions& options) {
  switch (command.arguments) {
    case ArgumentCount::kOneOrMore:
      return true;
    case ArgumentCount::kOne:
      return options.arguments.empty();
    case ArgumentCount::kTwo:
      return options.arguments.size() < 2;
    case ArgumentCount::kNone:
      break;
  }
  return false;
}

// Parses the arguments after the command's `words` into `options`; sets
// `request` when help or the version was asked.
UsageProblem ParseCommandArgs(const std::vector<std::string>& args, std::size_t words,
                              CliOptions& options, Request& request) {
  const CommandDeclaration& command = CommandDeclarationOf(options.command);
  std::set<std::string_view> seen;  // long names of the options given
  bool optionsEnded = false;
  for (std::size_t i = words; i < args.size(); ++i) {
    const std::string& arg = args[i];
    // A lone "-" is a file name; "--" makes every later argument one.
    if (optionsEnded || !LooksLikeOption(arg)) {
      if (!TakesAnotherArgument(command, options)) return "unexpected argument \"" + arg + "\"";
      options.arguments.push_back(arg);
      continue;
    }
    if (arg == kEndOfOptions) {
      optionsEnded = true;
      continue;
    }
    if (IsHelp(arg) || arg == kVersionOption) {
      request = IsHelp(arg) ? Request::kHelp : Request::kVersion;
      return {};
    }
    const TypedOption typed = SplitOption(arg);
    const OptionDeclaration* option = FindOption(typed.spelling);
    if (option == nullptr || !option->TakenBy(options.command)) {
      // A long option is named without its value; a short one as typed,
      // since "-block" is more likely a long name with one dash.
      const std::string_view named = typed.spelling.size() > 2 ? typed.spelling : arg;
      return "unknown option \"" + std::string(named) + "\"";
    }
    // Both spellings of an option count as the same option.
    if (!seen.insert(option->name).second && !option->repeats) {
      return "option " + std::string(option->name) + " given twice";
    }
    std::string_view value;
    if (option->kind == OptionKind::kFlag) {
      if (typed.attached) return "option " + std::string(option->name) + " takes no value";
    } else if (typed.attached) {
      value = *typed.attached;
    } else if (i + 1 < args.size()) {
      value = args[++i];
    } else {
      return "option " + std::string(typed.spelling) + " wants a value";
    }
    UsageProblem problem = option->apply(*option, value, options);
    if (!problem.empty()) return problem;
  }

  const std::size_t viewChoices =
      seen.count("--block") + seen.count("--date") + seen.count("--input");
  if (viewChoices > 1) {
    return "give only one of --block, --date and --input";
  }
  if (seen.count("--steps") != 0 && seen.count("--input") != 0) {
    return "--steps cannot be used with --input";
  }
  if (options.byteOrderMark && options.format != kCsvFormat) {
    return "--bom needs --format csv";
  }
  if (options.history.heading && options.format != kCsvFormat) {
    return "--heading needs --format csv (the other formats always have it)";
  }
  if (seen.count("--csv-dialect") != 0 && options.format != kCsvFormat) {
    return "--csv-dialect needs --format csv";
  }
  if (seen.count("--encoding") != 0 && options.format != kTextFormat) {
    return "--encoding applies only to --format text";
  }
  if (IsHistoryCommand(options.command)) {
    UsageProblem problem = HistoryUsageProblem(seen, options);
    if (!problem.empty()) return problem;
  }
  // An empty name names no file at all.
  const bool emptyName =
      std::find(options.arguments.begin(), options.arguments.end(), "") != options.arguments.end();
  if (command.arguments != ArgumentCount::kNone && (emptyName || options.arguments.empty())) {
    return "missing " + std::string(command.argument.substr(0, command.argument.find('.')));
  }
  if (command.arguments == ArgumentCount::kTwo && options.arguments.size() < 2) {
    return "missing " + std::string(command.argument.substr(command.argument.find(' ') + 1));
  }
  if (!options.arguments.empty()) options.path = options.arguments.front();
  return {};
}

ParsedCommandLine UsageError(const std::string& problem, std::string_view command) {
  ParsedCommandLine parsed;
  parsed.outcome = ParsedCommandLine::Outcome::kUsageError;
  parsed.text = UsageErrorMessage(problem, command);
  return parsed;
}

ParsedCommandLine Print(const std::string& text) {
  ParsedCommandLine parsed;
  parsed.outcome = ParsedCommandLine::Outcome::kHelp;
  parsed.text = text;
  return parsed;
}

// The first `count` words of `args`, as one name.
std::string Words(const std::vector<std::string>& args, std::size_t first, std::size_t count) {
  std::string words;
  for (std::size_t i = first; i < first + count; ++i) words += (words.empty() ? "" : " ") + args[i];
  return words;
}

// No command: the first words of a group's commands ("history") show the
// group's help when asked for it, else what is missing or unknown.
ParsedCommandLine UnknownCommand(const std::vector<std::string>& args, std::size_t first,
                                 std::size_t groupWords) {
  const CommandGroupDeclaration* group = groupWords == 0 ? nullptr : FindCommandGroup(args[first]);
  if (group == nullptr) {
    const bool option = LooksLikeOption(args[first]);
    return UsageError((option ? "unknown option \"" : "unknown command \"") + args[first] + "\"",
                      {});
  }
  const std::string words = Words(args, first, groupWords);
  const std::size_t next = first + groupWords;
  if (next == args.size()) return UsageError("missing command after " + words, group->name);
  if (IsHelp(args[next])) return Print(GroupUsage(*group));
  if (args[next] == kVersionOption) return Print(VersionText());
  return UsageError("unknown command \"" + words + " " + args[next] + "\"", group->name);
}

// "help" alone is the tool's help; "help COMMAND" that command's, or a
// group's ("help history").
ParsedCommandLine HelpCommand(const std::vector<std::string>& args) {
  if (args.size() == 1 || (args.size() == 2 && IsHelp(args[1]))) return Print(ToolUsage());
  const std::vector<std::string> named(args.begin() + 1, args.end());
  std::size_t words = 0;
  const CommandDeclaration* command = FindCommandIn(named, words);
  if (command != nullptr && words == named.size()) return Print(CommandUsage(command->command));
  if (command == nullptr && words == named.size()) {
    if (const CommandGroupDeclaration* group = FindCommandGroup(named[0])) {
      return Print(GroupUsage(*group));
    }
  }
  if (command != nullptr || words > 0) return UsageError("help takes one COMMAND", {});
  return UsageError("unknown command \"" + named[0] + "\"", {});
}

}  // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args,
                                   OutputEncoding localeEncoding) {
  if (args.empty()) return UsageError("missing command", {});
  if (IsHelp(args[0])) return Print(ToolUsage());
  if (args[0] == kVersionOption) return Print(VersionText());
  if (args[0] == kHelpCommand) return HelpCommand(args);
  std::size_t words = 0;
  const CommandDeclaration* command = FindCommandIn(args, words);
  if (command == nullptr) return UnknownCommand(args, 0, words);

  ParsedCommandLine parsed;
  parsed.options.command = command->command;
  parsed.options.encoding = localeEncoding;
  Request request = Request::kRun;
  const UsageProblem problem = ParseCommandArgs(args, words, parsed.options, request);
  if (request == Request::kHelp) return Print(CommandUsage(command->command));
  if (request == Request::kVersion) return Print(VersionText());
  if (!problem.empty()) return UsageError(problem, command->name);
  return parsed;
}

}  // namespace torv
