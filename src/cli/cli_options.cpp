#include "cli/cli_options.h"

#include <set>
#include <string_view>

#include "cli/cli_option_table.h"
#include "cli/cli_usage.h"
#include "cli/history_option_rules.h"

namespace torv {
namespace {

constexpr std::string_view kEndOfOptions = "--";

// Parses the arguments after the command's `words` into `options`; sets
// `help` when help was asked.
UsageProblem ParseCommandArgs(const std::vector<std::string>& args, std::size_t words,
                              CliOptions& options, bool& help) {
  const CommandSpec& command = CommandSpecOf(options.command);
  std::set<std::string_view> seen;  // long names of the options given
  bool optionsEnded = false;
  for (std::size_t i = words; i < args.size(); ++i) {
    const std::string& arg = args[i];
    // A lone "-" is a file name; "--" makes every later argument one.
    const bool looksLikeOption = !optionsEnded && arg.size() > 1 && arg[0] == '-';
    if (!looksLikeOption) {
      const bool takesMore =
          command.arguments == ArgumentCount::kOneOrMore ||
          (command.arguments == ArgumentCount::kOne && options.arguments.empty());
      if (!takesMore) return "unexpected argument \"" + arg + "\"";
      if (options.arguments.empty()) options.path = arg;
      options.arguments.push_back(arg);
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
    const OptionSpec* option = FindOption(arg);
    if (option == nullptr || !option->TakenBy(options.command)) {
      return "unknown option \"" + arg + "\"";
    }
    // Both spellings of an option count as the same option.
    if (!seen.insert(option->name).second) {
      return "option " + std::string(option->name) + " given twice";
    }
    std::string_view value;
    if (option->kind == OptionKind::kValue) {
      if (i + 1 >= args.size()) return "option " + arg + " wants a value";
      value = args[++i];
    }
    UsageProblem problem = option->apply(*option, value, options);
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
  if (IsHistoryCommand(options.command)) {
    UsageProblem problem = HistoryUsageProblem(seen, options);
    if (!problem.empty()) return problem;
  }
  const bool missing =
      command.arguments == ArgumentCount::kOne ? options.path.empty() : options.arguments.empty();
  if (command.arguments != ArgumentCount::kNone && missing) {
    return "missing " + std::string(command.argument);
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

// No command: a group's first words ("history") show the group's usage.
ParsedCommandLine UnknownCommand(const std::vector<std::string>& args, std::size_t groupWords) {
  const CommandGroupSpec* group = groupWords == 0 ? nullptr : FindCommandGroup(args[0]);
  if (group == nullptr) return UsageError("unknown command \"" + args[0] + "\"", ToolUsage());
  std::string words = args[0];
  for (std::size_t i = 1; i < groupWords; ++i) words += " " + args[i];
  if (groupWords == args.size()) {
    return UsageError("missing command after " + words, GroupUsage(*group));
  }
  if (args[groupWords] == kHelpOption) return Help(GroupUsage(*group));
  return UsageError("unknown command \"" + words + " " + args[groupWords] + "\"",
                    GroupUsage(*group));
}

}  // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args) {
  if (args.empty()) return UsageError("missing command", ToolUsage());
  if (args[0] == kHelpOption) return Help(ToolUsage());
  std::size_t words = 0;
  const CommandSpec* command = FindCommandIn(args, words);
  if (command == nullptr) return UnknownCommand(args, words);

  ParsedCommandLine parsed;
  parsed.options.command = command->command;
  bool help = false;
  const UsageProblem problem = ParseCommandArgs(args, words, parsed.options, help);
  if (help) return Help(CommandUsage(command->command));
  if (!problem.empty()) return UsageError(problem, CommandUsage(command->command));
  return parsed;
}

}  // namespace torv
