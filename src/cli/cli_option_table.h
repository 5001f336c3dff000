// The commands of torvdoc-cli and their options, each declared once: the
// parser, the checks and the help texts all read these tables, so an option
// cannot be parsed, accepted or listed anywhere but here.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_options.h"

namespace torv {

// The fault of a wrong command line, in a few words; empty when there is none.
using UsageProblem = std::string;

// How many arguments besides the options a command takes.
enum class ArgumentCount {
  kOne,        // exactly one, not empty
  kTwo,        // exactly two ("OLD NEW"), neither empty
  kOneOrMore,  // "FILE...": each is used as given, none empty
  kNone,
};

struct CommandDeclaration {
  CliCommand command;
  std::string_view name;      // as typed: "view", or words of a group: "history import"
  std::string_view argument;  // what its arguments are: "FILE" or "OUT"; empty for none
  std::string_view summary;   // its line in the tool's help, or in its group's help
  // The head of its help: usage lines and what it does; kFormatNamesSlot
  // stands for the names its --format takes.
  std::string_view synopsis;
  std::size_t helpColumn = 0;  // where the option texts start in its help, after "  "
  ArgumentCount arguments = ArgumentCount::kOne;
};

inline constexpr std::string_view kFormatNamesSlot = "{formats}";

// Commands whose names start with the same word, listed in the tool's help
// as one line and in a help of their own: "history".
struct CommandGroupDeclaration {
  std::string_view name;       // the first word of its commands' names
  std::string_view summary;    // its line in the tool's help
  std::string_view synopsis;   // the head of its help
  std::string_view epilog;     // the end of its help
  std::size_t helpColumn = 0;  // where the commands' summaries start, after "  "
};

enum class OptionKind {
  kFlag,   // stands alone: --bom
  kValue,  // takes a value: --block 3, --block=3, and for a short name -oout.csv
};

struct OptionHelp {
  std::vector<CliCommand> commands;  // the commands whose help shows this text
  std::string_view text;             // lines after the first are indented to the column
};

struct OptionDeclaration {
  std::string_view name;       // the long spelling: "--output"
  std::string_view shortName;  // another spelling of the same option, or empty
  OptionKind kind = OptionKind::kValue;
  std::string_view valueName;        // in the help: "--block K"
  std::vector<CliCommand> commands;  // the commands that take it
  std::vector<OptionHelp> help;      // one text per command that takes it
  // Stores the value (empty for a flag) in `options`, or says what is wrong
  // with it. options.command is already set.
  UsageProblem (*apply)(const OptionDeclaration& declared, std::string_view value,
                        CliOptions& options) = nullptr;
  // Given again, it adds a value (apply refuses what cannot be added).
  bool repeats = false;

  bool TakenBy(CliCommand command) const;
  std::string_view HelpFor(CliCommand command) const;
};

const std::vector<CommandDeclaration>& CommandTable();
const std::vector<CommandGroupDeclaration>& CommandGroupTable();
const std::vector<OptionDeclaration>& OptionTable();

// Taken alone or by every command, outside the table: they print and end.
inline constexpr std::string_view kHelpOption = "--help";
inline constexpr std::string_view kHelpShortOption = "-h";
inline constexpr std::string_view kHelpText = "this text";
inline constexpr std::string_view kVersionOption = "--version";
inline constexpr std::string_view kVersionText = "the program's name and version";
// "torvdoc-cli help COMMAND" is "torvdoc-cli COMMAND --help".
inline constexpr std::string_view kHelpCommand = "help";

// A value of plain decimal digits from `low` to `high`, or what is wrong with it.
UsageProblem ParseOptionNumber(std::string_view option, std::string_view value, long long low,
                               long long high, long long& number);
// The same, into any number (or optional number) that holds `low` to `high`.
template <typename Number>
UsageProblem ParseOptionNumberInto(std::string_view option, std::string_view value, long long low,
                                   long long high, Number& number) {
  long long parsed = 0;
  UsageProblem problem = ParseOptionNumber(option, value, low, high, parsed);
  if (problem.empty()) number = static_cast<Number>(parsed);
  return problem;
}
// A value as a usage problem quotes it.
inline std::string QuotedValue(std::string_view value) {
  return "\"" + std::string(value) + "\"";
}

// The command named by the first words of `args`, the longest name that
// matches; `words` is how many it took. Otherwise nullptr, and `words` counts
// the first words that begin some command's name ("history names").
const CommandDeclaration* FindCommandIn(const std::vector<std::string>& args, std::size_t& words);
const CommandGroupDeclaration* FindCommandGroup(std::string_view name);
const CommandDeclaration& CommandDeclarationOf(CliCommand command);
// The option spelled `spelling`, long or short, whichever command takes it.
const OptionDeclaration* FindOption(std::string_view spelling);

}  // namespace torv
