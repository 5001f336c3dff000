#include "cli/cli_usage.h"

namespace torv {
namespace {

constexpr char kViewUsage[] =
    "Usage: torvdoc-cli view FILE [--block K | --date DD.MM | --input N] [--steps SEQ]\n"
    "                        [--encoding utf-8|cp1251]\n"
    "Shows one view of the archive FILE as a report: the status line, two empty\n"
    "lines, the header line and one line per row.\n"
    "  --block K      block K, 1 (newest, the default) to 64 (oldest)\n"
    "  --date DD.MM   the block that starts at the newest record of that day\n"
    "  --input N      every event of input N (1 to 32), newest first\n"
    "  --steps SEQ    then step: b = one block older, f = one block newer\n"
    "                 (not with --input); the last view is shown\n"
    "  --encoding E   utf-8 (default) or cp1251 for standard output\n";

constexpr char kReportUsage[] =
    "Usage: torvdoc-cli report FILE [--encoding utf-8|cp1251]\n"
    "Shows the whole archive FILE as a report: all 64 blocks, newest first.\n"
    "  --encoding E   utf-8 (default) or cp1251 for standard output\n";

constexpr char kSampleUsage[] =
    "Usage: torvdoc-cli sample OUT [--seed N] [--fill N]\n"
    "Writes a generated archive file to OUT.\n"
    "  --seed N   seed of the generator, 0 to 4294967295 (default 1)\n"
    "  --fill N   records the device has written, 0 to 1000000 (default 1500);\n"
    "             0 gives an empty archive, more than 1024 a wrapped ring\n";

}  // namespace

std::string ToolUsage() {
  return "Usage: torvdoc-cli COMMAND ARGS...\n"
         "Documents the event archive of a ТОРВ-4 alarm device.\n"
         "  view FILE ...     one view of the archive\n"
         "  report FILE ...   the whole archive\n"
         "  sample OUT ...    write a generated archive\n"
         "Run torvdoc-cli COMMAND --help for the options of a command.\n"
         "Exit status: 0 done, 1 the archive could not be shown (the message is on\n"
         "standard error), 2 wrong usage.\n";
}

std::string CommandUsage(CliCommand command) {
  switch (command) {
    case CliCommand::kView:
      return kViewUsage;
    case CliCommand::kReport:
      return kReportUsage;
    case CliCommand::kSample:
      return kSampleUsage;
  }
  return ToolUsage();
}

}  // namespace torv
