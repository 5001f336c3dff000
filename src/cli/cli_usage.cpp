#include "cli/cli_usage.h"

namespace torv {
namespace {

constexpr char kViewUsage[] =
    "Usage: torvdoc-cli view FILE [--block K | --date DD.MM | --input N] [--steps SEQ]\n"
    "                        [--format text|csv|json|rtf] [--bom] [-o PATH]\n"
    "                        [--encoding utf-8|cp1251]\n"
    "Shows one view of the archive FILE as a report: the status line, two empty\n"
    "lines, the header line and one line per row.\n"
    "  --block K        block K, 1 (newest, the default) to 64 (oldest)\n"
    "  --date DD.MM     the block that starts at the newest record of that day\n"
    "  --input N        every event of input N (1 to 32), newest first\n"
    "  --steps SEQ      then step: b = one block older, f = one block newer\n"
    "                   (not with --input); the last view is shown\n"
    "  --format F       text (the report, default), csv (one row per record),\n"
    "                   json (the view with every record decoded) or rtf (the\n"
    "                   report as the window saves it)\n"
    "  --bom            start the CSV with a UTF-8 byte order mark\n"
    "  -o, --output P   write to the file P instead of standard output; the file\n"
    "                   is replaced whole or not at all\n"
    "  --encoding E     utf-8 (default) or cp1251, for --format text only\n"
    "  --help           this text\n";

constexpr char kReportUsage[] =
    "Usage: torvdoc-cli report FILE [--format text|csv|json|rtf] [--bom] [-o PATH]\n"
    "                          [--encoding utf-8|cp1251]\n"
    "Shows the whole archive FILE as a report: all 64 blocks, newest first.\n"
    "  --format F       text (the report, default), csv (one row per record),\n"
    "                   json (every record decoded) or rtf (the report as the\n"
    "                   window saves it)\n"
    "  --bom            start the CSV with a UTF-8 byte order mark\n"
    "  -o, --output P   write to the file P instead of standard output; the file\n"
    "                   is replaced whole or not at all\n"
    "  --encoding E     utf-8 (default) or cp1251, for --format text only\n"
    "  --help           this text\n";

constexpr char kInfoUsage[] =
    "Usage: torvdoc-cli info FILE [--format text|json] [-o PATH]\n"
    "Summarizes the archive FILE: its size, WriteOffset and what it points at,\n"
    "the newest and oldest record, and counts of empty and damaged records,\n"
    "of records per event code, of input events per input and of relay events\n"
    "per relay, over all 1024 slots.\n"
    "  --format F       text (default) or json\n"
    "  -o, --output P   write to the file P instead of standard output; the file\n"
    "                   is replaced whole or not at all\n"
    "  --help           this text\n";

constexpr char kSampleUsage[] =
    "Usage: torvdoc-cli sample OUT [--seed N] [--fill N]\n"
    "Writes a generated archive file to OUT; the same seed and fill always give\n"
    "the same file.\n"
    "  --seed N   seed of the generator, 0 to 4294967295 (default 1)\n"
    "  --fill N   records the device has written, 0 to 1000000 (default 1500);\n"
    "             0 gives an empty archive, more than 1024 a wrapped ring\n"
    "  --help     this text\n";

}  // namespace

std::string ToolUsage() {
  return "Usage: torvdoc-cli COMMAND ARGS...\n"
         "Documents the event archive of a ТОРВ-4 alarm device.\n"
         "  view FILE ...     one view of the archive\n"
         "  report FILE ...   the whole archive\n"
         "  info FILE ...     what the archive holds, counted\n"
         "  sample OUT ...    write a generated archive\n"
         "  --help            this text; COMMAND --help lists the options of a command\n"
         "Exit status: 0 done, 1 the archive could not be shown or a file could not\n"
         "be written (the message is on standard error), 2 wrong usage.\n";
}

std::string CommandUsage(CliCommand command) {
  switch (command) {
    case CliCommand::kView:
      return kViewUsage;
    case CliCommand::kReport:
      return kReportUsage;
    case CliCommand::kInfo:
      return kInfoUsage;
    case CliCommand::kSample:
      return kSampleUsage;
  }
  return ToolUsage();
}

}  // namespace torv
