#include "cli/cli_usage.h"

#include "cli/cli_option_table.h"
#include "cli/output_formats.h"

namespace torv {
namespace {

// Where the commands' summaries start in the tool's help, after "  ".
constexpr std::size_t kToolHelpColumn = 18;

// "  " and `label` padded to `column`, then `text` with each further line
// indented to the column.
std::string HelpLine(std::string_view label, std::size_t column, std::string_view text) {
  std::string line = "  " + std::string(label);
  line.append(label.size() < column ? column - label.size() : 1, ' ');
  for (const char c : text) {
    line += c;
    if (c == '\n') line.append(2 + column, ' ');
  }
  return line + "\n";
}

// How the help names an option: "--block K", "-o, --output P", "--bom".
std::string OptionLabel(const OptionDeclaration& option) {
  std::string label;
  if (!option.shortName.empty()) label = std::string(option.shortName) + ", ";
  label += option.name;
  if (option.kind == OptionKind::kValue) label += " " + std::string(option.valueName);
  return label;
}

// The command's synopsis with the names its --format takes, from the
// catalogue of what it writes: the bash completion offers what it lists.
std::string Synopsis(const CommandDeclaration& declared) {
  std::string synopsis(declared.synopsis);
  const std::size_t slot = synopsis.find(kFormatNamesSlot);
  if (slot != std::string::npos) {
    synopsis.replace(slot, kFormatNamesSlot.size(),
                     JoinFormatNames(FormatNamesFor(declared.command), "|", "|"));
  }
  return synopsis;
}

std::string HelpLabel() {
  return std::string(kHelpShortOption) + ", " + std::string(kHelpOption);
}

}  // namespace

std::string ToolUsage() {
  std::string usage =
      "Usage: torvdoc-cli COMMAND ARGS...\n"
      "Documents the event archive of a ТОРВ-4 alarm device.\n";
  for (const CommandDeclaration& command : CommandTable()) {
    if (command.name.find(' ') != std::string_view::npos) continue;  // listed by its group
    const std::string label = std::string(command.name) + " " + std::string(command.argument);
    usage += HelpLine(label, kToolHelpColumn, command.summary);
  }
  for (const CommandGroupDeclaration& group : CommandGroupTable()) {
    usage += HelpLine(std::string(group.name) + " COMMAND", kToolHelpColumn,
                      std::string(group.summary) + "; " + std::string(group.name) + " --help");
  }
  usage += HelpLine(std::string(kHelpCommand) + " COMMAND", kToolHelpColumn,
                    "the options of COMMAND, as COMMAND --help or -h");
  usage += HelpLine(HelpLabel(), kToolHelpColumn, kHelpText);
  usage += HelpLine(kVersionOption, kToolHelpColumn, kVersionText);
  return usage +
         "FILE - reads the archive from standard input; -o - writes to standard output.\n"
         "Text is written in the locale's encoding (Windows-1251 when the locale's\n"
         "codeset is CP1251, else UTF-8) unless --encoding is given; messages on\n"
         "standard error are UTF-8.\n"
         "Exit status: 0 done, 1 an archive could not be shown or a file could not\n"
         "be written (the message is on standard error), 2 wrong usage.\n";
}

std::string GroupUsage(const CommandGroupDeclaration& group) {
  std::string usage(group.synopsis);
  const std::string prefix = std::string(group.name) + " ";
  for (const CommandDeclaration& command : CommandTable()) {
    if (command.name.substr(0, prefix.size()) != prefix) continue;
    std::string label(command.name.substr(prefix.size()));
    if (!command.argument.empty()) label += " " + std::string(command.argument);
    usage += HelpLine(label, group.helpColumn, command.summary);
  }
  usage += HelpLine(HelpLabel(), group.helpColumn,
                    std::string(kHelpText) + "; " + prefix + "COMMAND --help lists its options");
  usage += HelpLine(kVersionOption, group.helpColumn, kVersionText);
  return usage + std::string(group.epilog);
}

std::string CommandUsage(CliCommand command) {
  const CommandDeclaration& declared = CommandDeclarationOf(command);
  std::string usage = Synopsis(declared);
  for (const OptionDeclaration& option : OptionTable()) {
    if (option.TakenBy(command)) {
      usage += HelpLine(OptionLabel(option), declared.helpColumn, option.HelpFor(command));
    }
  }
  usage += HelpLine(HelpLabel(), declared.helpColumn, kHelpText);
  return usage + HelpLine(kVersionOption, declared.helpColumn, kVersionText);
}

std::string VersionText() {
  return std::string(kProgramName) + " " TORVDOC_VERSION "\n";
}

}  // namespace torv
