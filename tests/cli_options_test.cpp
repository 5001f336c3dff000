#include "cli/cli_options.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_option_table.h"
#include "cli/cli_usage.h"
#include "cli/history_option_rules.h"
#include "cli/view_description.h"

namespace torv {
namespace {

using Outcome = ParsedCommandLine::Outcome;

// A listing's digest as `history verify --listing` takes it.
constexpr char kDigest[] = "abababababababababababababababababababababababababababababababab";

CliOptions Parsed(const std::vector<std::string>& args) {
  const ParsedCommandLine parsed = ParseCommandLine(args);
  EXPECT_EQ(parsed.outcome, Outcome::kRun) << parsed.text;
  EXPECT_EQ(parsed.text, "");
  return parsed.options;
}

// The first line of a usage error: the fault in words.
std::string Problem(const std::vector<std::string>& args) {
  const ParsedCommandLine parsed = ParseCommandLine(args);
  EXPECT_EQ(parsed.outcome, Outcome::kUsageError);
  return parsed.text.substr(0, parsed.text.find('\n'));
}

TEST(CliOptionsTest, ViewDefaultsToTheNewestBlockInUtf8) {
  const CliOptions options = Parsed({"view", "a.dat"});
  EXPECT_EQ(options.command, CliCommand::kView);
  EXPECT_EQ(options.path, "a.dat");
  EXPECT_EQ(options.viewKind, ViewKind::kBlock);
  EXPECT_EQ(options.blocksBack, 1);
  EXPECT_EQ(options.steps, "");
  EXPECT_EQ(options.encoding, OutputEncoding::kUtf8);
}

TEST(CliOptionsTest, BlockLimitsAreAccepted) {
  EXPECT_EQ(Parsed({"view", "a.dat", "--block", "1"}).blocksBack, 1);
  EXPECT_EQ(Parsed({"view", "--block", "64", "a.dat"}).blocksBack, 64);
  EXPECT_EQ(Parsed({"view", "a.dat", "--block", "007"}).blocksBack, 7);
}

TEST(CliOptionsTest, DateSetsTheKeyAsGiven) {
  const CliOptions options = Parsed({"view", "a.dat", "--date", "05.11", "--steps", "bf"});
  EXPECT_EQ(options.viewKind, ViewKind::kDate);
  EXPECT_EQ(options.dateKey, "05.11");
  EXPECT_EQ(options.steps, "bf");
  EXPECT_EQ(Parsed({"view", "a.dat", "--date", "05.11.2024"}).dateKey, "05.11.2024");
}

TEST(CliOptionsTest, DateLengthIsCountedInCharacters) {
  EXPECT_EQ(Parsed({"view", "a.dat", "--date", "пятое"}).dateKey, "пятое");
  EXPECT_EQ(Problem({"view", "a.dat", "--date", "пять"}),
            "torvdoc-cli: --date wants at least five characters (DD.MM), not \"пять\"");
  EXPECT_EQ(Problem({"view", "a.dat", "--date", ""}),
            "torvdoc-cli: --date wants at least five characters (DD.MM), not \"\"");
}

TEST(CliOptionsTest, InputLimitsAreAccepted) {
  const CliOptions options = Parsed({"view", "a.dat", "--input", "32", "--encoding", "cp1251"});
  EXPECT_EQ(options.viewKind, ViewKind::kInput);
  EXPECT_EQ(options.inputNumber, 32);
  EXPECT_EQ(options.encoding, OutputEncoding::kCp1251);
  EXPECT_EQ(Parsed({"view", "a.dat", "--input", "1"}).inputNumber, 1);
}

TEST(CliOptionsTest, NumbersOutOfRangeOrNotPlainDigitsAreRefused) {
  EXPECT_EQ(Problem({"view", "a.dat", "--block", "0"}),
            "torvdoc-cli: --block wants a number from 1 to 64, not \"0\"");
  EXPECT_EQ(Problem({"view", "a.dat", "--block", "65"}),
            "torvdoc-cli: --block wants a number from 1 to 64, not \"65\"");
  EXPECT_EQ(Problem({"view", "a.dat", "--block", "-1"}),
            "torvdoc-cli: --block wants a number from 1 to 64, not \"-1\"");
  EXPECT_EQ(Problem({"view", "a.dat", "--block", " 2"}),
            "torvdoc-cli: --block wants a number from 1 to 64, not \" 2\"");
  EXPECT_EQ(Problem({"view", "a.dat", "--block", "2x"}),
            "torvdoc-cli: --block wants a number from 1 to 64, not \"2x\"");
  EXPECT_EQ(Problem({"view", "a.dat", "--block", "99999999999999999999999"}),
            "torvdoc-cli: --block wants a number from 1 to 64, not \"99999999999999999999999\"");
  EXPECT_EQ(Problem({"view", "a.dat", "--input", "33"}),
            "torvdoc-cli: --input wants a number from 1 to 32, not \"33\"");
  EXPECT_EQ(Problem({"view", "a.dat", "--input", "0"}),
            "torvdoc-cli: --input wants a number from 1 to 32, not \"0\"");
}

TEST(CliOptionsTest, OnlyOneViewKind) {
  EXPECT_EQ(Problem({"view", "a.dat", "--input", "2", "--date", "05.11"}),
            "torvdoc-cli: give only one of --block, --date and --input");
  EXPECT_EQ(Problem({"view", "a.dat", "--block", "2", "--input", "3"}),
            "torvdoc-cli: give only one of --block, --date and --input");
}

TEST(CliOptionsTest, StepsAreBAndFOnlyAndNotWithInput) {
  EXPECT_EQ(Parsed({"view", "a.dat", "--steps", "bbbf"}).steps, "bbbf");
  EXPECT_EQ(Parsed({"view", "a.dat", "--steps", ""}).steps, "");
  EXPECT_EQ(Problem({"view", "a.dat", "--steps", "bB"}),
            "torvdoc-cli: --steps takes only the letters b and f, not \"bB\"");
  EXPECT_EQ(Problem({"view", "a.dat", "--steps", "b", "--input", "4"}),
            "torvdoc-cli: --steps cannot be used with --input");
}

TEST(CliOptionsTest, RepeatedUnknownAndValuelessOptionsAreRefused) {
  EXPECT_EQ(Problem({"view", "a.dat", "--steps", "b", "--steps", "f"}),
            "torvdoc-cli: option --steps given twice");
  EXPECT_EQ(Problem({"view", "a.dat", "--encoding", "utf-8", "--encoding", "utf-8"}),
            "torvdoc-cli: option --encoding given twice");
  EXPECT_EQ(Problem({"view", "a.dat", "-b", "2"}), "torvdoc-cli: unknown option \"-b\"");
  EXPECT_EQ(Problem({"view", "a.dat", "--blocks=2"}), "torvdoc-cli: unknown option \"--blocks\"");
  EXPECT_EQ(Problem({"view", "a.dat", "-block", "2"}), "torvdoc-cli: unknown option \"-block\"");
  EXPECT_EQ(Problem({"report", "a.dat", "--steps", "b"}),
            "torvdoc-cli: unknown option \"--steps\"");
  EXPECT_EQ(Problem({"view", "a.dat", "--date"}), "torvdoc-cli: option --date wants a value");
  EXPECT_EQ(Problem({"view", "a.dat", "--encoding", "UTF-8"}),
            "torvdoc-cli: --encoding is utf-8 or cp1251, not \"UTF-8\"");
}

TEST(CliOptionsTest, ExactlyOneFile) {
  EXPECT_EQ(Problem({"view"}), "torvdoc-cli: missing FILE");
  EXPECT_EQ(Problem({"view", ""}), "torvdoc-cli: missing FILE");
  EXPECT_EQ(Problem({"report", "--encoding", "cp1251"}), "torvdoc-cli: missing FILE");
  EXPECT_EQ(Problem({"sample", "--seed", "3"}), "torvdoc-cli: missing OUT");
  EXPECT_EQ(Problem({"view", "a.dat", "b.dat"}), "torvdoc-cli: unexpected argument \"b.dat\"");
}

TEST(CliOptionsTest, DoubleDashEndsTheOptions) {
  EXPECT_EQ(Parsed({"view", "--block", "3", "--", "--odd.dat"}).path, "--odd.dat");
  EXPECT_EQ(Parsed({"view", "-"}).path, "-");
}

TEST(CliOptionsTest, CommandIsFirst) {
  EXPECT_EQ(Problem({}), "torvdoc-cli: missing command");
  EXPECT_EQ(Problem({"a.dat", "view"}), "torvdoc-cli: unknown command \"a.dat\"");
  EXPECT_EQ(Problem({"--block", "2"}), "torvdoc-cli: unknown option \"--block\"");
}

TEST(CliOptionsTest, ReportTakesTheEncoding) {
  const CliOptions options = Parsed({"report", "a.dat", "--encoding", "cp1251"});
  EXPECT_EQ(options.command, CliCommand::kReport);
  EXPECT_EQ(options.path, "a.dat");
  EXPECT_EQ(options.encoding, OutputEncoding::kCp1251);
}

TEST(CliOptionsTest, SampleDefaultsAndLimits) {
  const CliOptions defaults = Parsed({"sample", "out.dat"});
  EXPECT_EQ(defaults.command, CliCommand::kSample);
  EXPECT_EQ(defaults.path, "out.dat");
  EXPECT_EQ(defaults.seed, 1u);
  EXPECT_EQ(defaults.fill, 1500);

  const CliOptions limits = Parsed({"sample", "out.dat", "--seed", "4294967295", "--fill", "0"});
  EXPECT_EQ(limits.seed, 4294967295u);
  EXPECT_EQ(limits.fill, 0);
  EXPECT_EQ(Parsed({"sample", "out.dat", "--fill", "1000000"}).fill, 1000000);
  EXPECT_EQ(Problem({"sample", "out.dat", "--seed", "4294967296"}),
            "torvdoc-cli: --seed wants a number from 0 to 4294967295, not \"4294967296\"");
  EXPECT_EQ(Problem({"sample", "out.dat", "--fill", "1000001"}),
            "torvdoc-cli: --fill wants a number from 0 to 1000000, not \"1000001\"");
}

TEST(CliOptionsTest, UsageErrorIsOneLineAndWhereToReadMore) {
  const ParsedCommandLine parsed = ParseCommandLine({"report"});
  EXPECT_EQ(parsed.text, "torvdoc-cli: missing FILE\nTry 'torvdoc-cli report --help'.\n");
  EXPECT_EQ(ParseCommandLine({"list"}).text,
            "torvdoc-cli: unknown command \"list\"\nTry 'torvdoc-cli --help'.\n");
  EXPECT_EQ(ParseCommandLine({"info", "a.dat", "--format", "csv"}).text,
            "torvdoc-cli: --format is text or json, not \"csv\"\nTry 'torvdoc-cli info --help'.\n");
}

TEST(CliOptionsTest, HelpWinsOverMissingFile) {
  const ParsedCommandLine tool = ParseCommandLine({"--help"});
  EXPECT_EQ(tool.outcome, Outcome::kHelp);
  EXPECT_EQ(tool.text, ToolUsage());

  const ParsedCommandLine view = ParseCommandLine({"view", "--help"});
  EXPECT_EQ(view.outcome, Outcome::kHelp);
  EXPECT_EQ(view.text, CommandUsage(CliCommand::kView));
  EXPECT_EQ(view.text.substr(0, view.text.find('\n')),
            "Usage: torvdoc-cli view FILE [--block K | --date DD.MM | --input N] [--steps SEQ]");

  const ParsedCommandLine sample = ParseCommandLine({"sample", "--help"});
  EXPECT_EQ(sample.outcome, Outcome::kHelp);
  EXPECT_EQ(sample.text.substr(0, sample.text.find('\n')),
            "Usage: torvdoc-cli sample OUT [--seed N] [--fill N] [--force]");
}

TEST(CliOptionsTest, ShortHelpHelpCommandAndVersionForTheToolAndEachCommand) {
  for (const CommandDeclaration& command : CommandTable()) {
    SCOPED_TRACE(command.name);
    std::vector<std::string> name;  // "history names set" is three words
    std::istringstream words{std::string(command.name)};
    for (std::string word; words >> word;) name.push_back(word);
    const auto with = [](std::vector<std::string> args, const std::vector<std::string>& more) {
      args.insert(args.end(), more.begin(), more.end());
      return args;
    };
    const std::string usage = CommandUsage(command.command);
    std::vector<std::vector<std::string>> asked = {with(name, {"-h"}), with(name, {"--help"}),
                                                   with({"help"}, name)};
    if (command.arguments != ArgumentCount::kNone) asked.push_back(with(name, {"a.dat", "-h"}));
    for (const std::vector<std::string>& args : asked) {
      const ParsedCommandLine parsed = ParseCommandLine(args);
      EXPECT_EQ(parsed.outcome, Outcome::kHelp);
      EXPECT_EQ(parsed.text, usage);
    }
    const ParsedCommandLine version = ParseCommandLine(with(name, {"--version"}));
    EXPECT_EQ(version.outcome, Outcome::kHelp);
    EXPECT_EQ(version.text, VersionText());
  }
  EXPECT_EQ(ParseCommandLine({"-h"}).text, ToolUsage());
  EXPECT_EQ(ParseCommandLine({"help"}).text, ToolUsage());
  EXPECT_EQ(ParseCommandLine({"--version"}).text, VersionText());
  EXPECT_EQ(Problem({"help", "show"}), "torvdoc-cli: unknown command \"show\"");
  EXPECT_EQ(Problem({"help", "view", "info"}), "torvdoc-cli: help takes one COMMAND");
  // One line: the name, a space, a version of digits and dots.
  const std::string version = VersionText();
  ASSERT_EQ(version.rfind("torvdoc-cli ", 0), 0u);
  EXPECT_EQ(version.find_first_not_of("0123456789.", 12), version.size() - 1) << version;
  EXPECT_EQ(version.back(), '\n');
}

TEST(CliOptionsTest, ValuesAfterAnEqualsSignOrAttachedToAShortName) {
  EXPECT_EQ(Parsed({"view", "a.dat", "--block=3"}).blocksBack, 3);
  EXPECT_EQ(Parsed({"view", "--date=05.11.2024", "a.dat"}).dateKey, "05.11.2024");
  EXPECT_EQ(Parsed({"view", "a.dat", "--output=out.csv"}).outputPath, "out.csv");
  EXPECT_EQ(Parsed({"view", "a.dat", "-oout.csv"}).outputPath, "out.csv");
  EXPECT_EQ(Parsed({"view", "a.dat", "-o-"}).outputPath, "-");
  // Only the first "=" ends the name.
  EXPECT_EQ(Parsed({"report", "a.dat", "-o", "a=b.txt"}).outputPath, "a=b.txt");
  EXPECT_EQ(Parsed({"report", "a.dat", "--output=a=b.txt"}).outputPath, "a=b.txt");
  const CliOptions csv = Parsed({"report", "a.dat", "--format=csv", "--csv-dialect=excel"});
  EXPECT_EQ(csv.format, "csv");
  EXPECT_EQ(csv.csvDialect, CsvDialectName::kExcel);

  EXPECT_EQ(Problem({"view", "a.dat", "--block="}),
            "torvdoc-cli: --block wants a number from 1 to 64, not \"\"");
  EXPECT_EQ(Problem({"view", "a.dat", "--output="}), "torvdoc-cli: --output wants a file name");
  EXPECT_EQ(Problem({"view", "a.dat", "--format=csv", "--bom=yes"}),
            "torvdoc-cli: option --bom takes no value");
  EXPECT_EQ(Problem({"sample", "o.dat", "--force="}), "torvdoc-cli: option --force takes no value");
  EXPECT_EQ(Problem({"view", "a.dat", "--block=2", "--block", "2"}),
            "torvdoc-cli: option --block given twice");
  EXPECT_EQ(Problem({"view", "a.dat", "-o", "x", "-oy"}),
            "torvdoc-cli: option --output given twice");
  // A listing takes several devices; a copy or a name belongs to one.
  EXPECT_EQ(Parsed({"history", "list", "--device", "b", "--device=a"}).history.query.devices,
            (std::vector<std::string>{"b", "a"}));
  EXPECT_EQ(Problem({"history", "list", "--device", "a", "--device", "a"}),
            "torvdoc-cli: --device \"a\" given twice");
  EXPECT_EQ(Problem({"history", "import", "x.dat", "--device", "a", "--device", "b"}),
            "torvdoc-cli: give one --device: each copy or name belongs to one device");
}

TEST(CliOptionsTest, InfoTakesSeveralFilesTheOthersOne) {
  const CliOptions info = Parsed({"info", "a.dat", "-", "--format", "json", "c.dat"});
  EXPECT_EQ(info.arguments, (std::vector<std::string>{"a.dat", "-", "c.dat"}));
  EXPECT_EQ(info.path, "a.dat");
  EXPECT_EQ(Problem({"info", "a.dat", ""}), "torvdoc-cli: missing FILE");
  EXPECT_EQ(Problem({"report", "a.dat", "b.dat"}), "torvdoc-cli: unexpected argument \"b.dat\"");
  EXPECT_EQ(Problem({"sample", "a.dat", "b.dat"}), "torvdoc-cli: unexpected argument \"b.dat\"");
}

TEST(CliOptionsTest, TheLocalesEncodingUnlessOneIsGiven) {
  for (const char* command : {"view", "report", "info"}) {
    SCOPED_TRACE(command);
    EXPECT_EQ(ParseCommandLine({command, "a.dat"}, OutputEncoding::kCp1251).options.encoding,
              OutputEncoding::kCp1251);
    EXPECT_EQ(ParseCommandLine({command, "a.dat", "--encoding", "utf-8"}, OutputEncoding::kCp1251)
                  .options.encoding,
              OutputEncoding::kUtf8);
    EXPECT_EQ(ParseCommandLine({command, "a.dat", "--encoding=cp1251"}).options.encoding,
              OutputEncoding::kCp1251);
  }
  // JSON is UTF-8 whatever the locale; only a given --encoding is an error.
  EXPECT_EQ(
      ParseCommandLine({"info", "a.dat", "--format", "json"}, OutputEncoding::kCp1251).outcome,
      Outcome::kRun);
}

TEST(CliOptionsTest, CsvDialectOnlyForCsv) {
  EXPECT_EQ(Parsed({"view", "a.dat", "--format", "csv"}).csvDialect, CsvDialectName::kRfc4180);
  EXPECT_EQ(Parsed({"view", "a.dat", "--format", "csv", "--csv-dialect", "rfc4180"}).csvDialect,
            CsvDialectName::kRfc4180);
  EXPECT_EQ(Problem({"view", "a.dat", "--csv-dialect", "excel"}),
            "torvdoc-cli: --csv-dialect needs --format csv");
  EXPECT_EQ(Problem({"view", "a.dat", "--format", "csv", "--csv-dialect", "Excel"}),
            "torvdoc-cli: --csv-dialect is rfc4180 or excel, not \"Excel\"");
  EXPECT_EQ(Problem({"info", "a.dat", "--csv-dialect", "excel"}),
            "torvdoc-cli: unknown option \"--csv-dialect\"");
}

TEST(CliOptionsTest, EveryUsageEndsWithANewline) {
  for (const std::string& usage :
       {ToolUsage(), CommandUsage(CliCommand::kView), CommandUsage(CliCommand::kReport),
        CommandUsage(CliCommand::kInfo), CommandUsage(CliCommand::kSample)}) {
    ASSERT_FALSE(usage.empty());
    EXPECT_EQ(usage.back(), '\n');
    EXPECT_EQ(usage.rfind("Usage: torvdoc-cli ", 0), 0u);
  }
}

// --- formats and output files ---

TEST(CliOptionsTest, TextToStandardOutputIsTheDefault) {
  for (const char* command : {"view", "report", "info"}) {
    SCOPED_TRACE(command);
    const CliOptions options = Parsed({command, "a.dat"});
    EXPECT_EQ(options.format, "text");
    EXPECT_EQ(options.outputPath, "");
    EXPECT_FALSE(options.byteOrderMark);
  }
}

TEST(CliOptionsTest, ViewAndReportTakeEveryFormat) {
  for (const std::string name : {"text", "csv", "json", "rtf"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(Parsed({"view", "a.dat", "--format", name}).format, name);
    EXPECT_EQ(Parsed({"report", "--format", name, "a.dat"}).format, name);
  }
  EXPECT_EQ(Problem({"view", "a.dat", "--format", "CSV"}),
            "torvdoc-cli: --format is text, csv, json or rtf, not \"CSV\"");
  EXPECT_EQ(Problem({"report", "a.dat", "--format", ""}),
            "torvdoc-cli: --format is text, csv, json or rtf, not \"\"");
}

TEST(CliOptionsTest, InfoTakesTextAndJsonOnly) {
  const CliOptions options = Parsed({"info", "a.dat", "--format", "json", "-o", "i.json"});
  EXPECT_EQ(options.command, CliCommand::kInfo);
  EXPECT_EQ(options.path, "a.dat");
  EXPECT_EQ(options.format, "json");
  EXPECT_EQ(options.outputPath, "i.json");
  EXPECT_EQ(Parsed({"info", "a.dat", "--format", "text"}).format, "text");
  EXPECT_EQ(Problem({"info", "a.dat", "--format", "rtf"}),
            "torvdoc-cli: --format is text or json, not \"rtf\"");
  EXPECT_EQ(Problem({"info", "a.dat", "--bom"}), "torvdoc-cli: unknown option \"--bom\"");
  EXPECT_EQ(Problem({"info", "a.dat", "--block", "2"}), "torvdoc-cli: unknown option \"--block\"");
}

TEST(CliOptionsTest, ShortAndLongOutputAreOneOption) {
  EXPECT_EQ(Parsed({"view", "a.dat", "-o", "out.txt"}).outputPath, "out.txt");
  EXPECT_EQ(Parsed({"report", "a.dat", "--output", "dir/out.rtf"}).outputPath, "dir/out.rtf");
  EXPECT_EQ(Problem({"view", "a.dat", "--output", "x", "-o", "y"}),
            "torvdoc-cli: option --output given twice");
  EXPECT_EQ(Problem({"view", "a.dat", "--output", ""}), "torvdoc-cli: --output wants a file name");
  EXPECT_EQ(Problem({"report", "a.dat", "--output"}), "torvdoc-cli: option --output wants a value");
}

TEST(CliOptionsTest, ByteOrderMarkOnlyForCsv) {
  const CliOptions options = Parsed({"view", "a.dat", "--bom", "--format", "csv"});
  EXPECT_TRUE(options.byteOrderMark);
  EXPECT_EQ(options.path, "a.dat");
  EXPECT_EQ(Problem({"view", "a.dat", "--bom"}), "torvdoc-cli: --bom needs --format csv");
  EXPECT_EQ(Problem({"report", "a.dat", "--bom", "--format", "json"}),
            "torvdoc-cli: --bom needs --format csv");
  EXPECT_EQ(Problem({"report", "a.dat", "--format", "csv", "--bom", "--bom"}),
            "torvdoc-cli: option --bom given twice");
}

TEST(CliOptionsTest, EncodingOnlyForText) {
  EXPECT_EQ(Parsed({"view", "a.dat", "--format", "text", "--encoding", "cp1251"}).encoding,
            OutputEncoding::kCp1251);
  for (const char* format : {"csv", "json", "rtf"}) {
    SCOPED_TRACE(format);
    EXPECT_EQ(Problem({"view", "a.dat", "--encoding", "utf-8", "--format", format}),
              "torvdoc-cli: --encoding applies only to --format text");
  }
}

// Every option a command takes is named in its usage, and the usage names no
// option the command refuses.
TEST(CliOptionsTest, HelpListsEveryOptionOfItsCommand) {
  struct OptionCase {
    CliCommand command;
    std::vector<std::string> args;  // the command line that uses the option
    std::string spelling;           // how the usage names it
  };
  const std::vector<OptionCase> cases = {
      {CliCommand::kView, {"view", "a", "--block", "2"}, "--block K"},
      {CliCommand::kView, {"view", "a", "--date", "01.02"}, "--date DD.MM"},
      {CliCommand::kView, {"view", "a", "--input", "2"}, "--input N"},
      {CliCommand::kView, {"view", "a", "--steps", "b"}, "--steps SEQ"},
      {CliCommand::kView, {"view", "a", "--format", "csv"}, "--format F"},
      {CliCommand::kView, {"view", "a", "--format", "csv", "--bom"}, "--bom"},
      {CliCommand::kView,
       {"view", "a", "--format", "csv", "--csv-dialect", "excel"},
       "--csv-dialect D"},
      {CliCommand::kView, {"view", "a", "-o", "x"}, "-o, --output P"},
      {CliCommand::kView, {"view", "a", "--encoding", "utf-8"}, "--encoding E"},
      {CliCommand::kReport, {"report", "a", "--format", "csv"}, "--format F"},
      {CliCommand::kReport, {"report", "a", "--format", "csv", "--bom"}, "--bom"},
      {CliCommand::kReport,
       {"report", "a", "--format", "csv", "--csv-dialect", "excel"},
       "--csv-dialect D"},
      {CliCommand::kReport, {"report", "a", "--output", "x"}, "-o, --output P"},
      {CliCommand::kReport, {"report", "a", "--encoding", "utf-8"}, "--encoding E"},
      {CliCommand::kInfo, {"info", "a", "--format", "json"}, "--format F"},
      {CliCommand::kInfo, {"info", "a", "-o", "x"}, "-o, --output P"},
      {CliCommand::kInfo, {"info", "a", "--encoding", "cp1251"}, "--encoding E"},
      {CliCommand::kSample, {"sample", "a", "--seed", "2"}, "--seed N"},
      {CliCommand::kSample, {"sample", "a", "--fill", "2"}, "--fill N"},
      {CliCommand::kSample, {"sample", "a", "--force"}, "--force"},
      {CliCommand::kHistoryImport, {"history", "import", "a", "--device", "1"}, "--device NAME"},
      {CliCommand::kHistoryImport,
       {"history", "import", "a", "--device", "1", "--copied-at", "2025-01-02T03:04:05"},
       "--copied-at T"},
      {CliCommand::kHistoryImport,
       {"history", "import", "a", "--device", "1", "--db", "x"},
       "--db STORE"},
      {CliCommand::kHistoryImport,
       {"history", "import", "a", "--device-from-folder"},
       "--device-from-folder"},
      {CliCommand::kHistoryImport,
       {"history", "import", "a", "--device-from-name", "x"},
       "--device-from-name REGEX"},
      {CliCommand::kHistoryImport,
       {"history", "import", "a", "--device", "1", "--quiet"},
       "--quiet"},
      {CliCommand::kHistoryImport,
       {"history", "import", "a", "--device", "1", "--new-device"},
       "--new-device"},
      {CliCommand::kHistoryImport,
       {"history", "import", "a", "--device", "1", "--force-device"},
       "--force-device"},
      {CliCommand::kHistoryList, {"history", "list", "--device", "1"}, "--device NAME"},
      {CliCommand::kHistoryList, {"history", "list", "--from", "2025-01-02"}, "--from DATE"},
      {CliCommand::kHistoryList, {"history", "list", "--to", "2025-01-02"}, "--to DATE"},
      {CliCommand::kHistoryList, {"history", "list", "--period", "last-month"}, "--period P"},
      {CliCommand::kHistoryList, {"history", "list", "--input", "7"}, "--input N"},
      {CliCommand::kHistoryList, {"history", "list", "--events", "relay"}, "--events KINDS"},
      {CliCommand::kHistoryList, {"history", "list", "--text", "Норма"}, "--text TEXT"},
      {CliCommand::kHistoryList, {"history", "list", "--newest-first"}, "--newest-first"},
      {CliCommand::kHistoryList, {"history", "list", "--format", "csv"}, "--format F"},
      {CliCommand::kHistoryList, {"history", "list", "--format", "csv", "--bom"}, "--bom"},
      {CliCommand::kHistoryList, {"history", "list", "--format", "csv", "--heading"}, "--heading"},
      {CliCommand::kHistoryList,
       {"history", "list", "--format", "csv", "--csv-dialect", "excel"},
       "--csv-dialect D"},
      {CliCommand::kHistoryList, {"history", "list", "-o", "x"}, "-o, --output P"},
      {CliCommand::kHistoryList, {"history", "list", "--db", "x"}, "--db STORE"},
      {CliCommand::kHistoryReport, {"history", "report", "-o", "{device}"}, "-o, --output P"},
      {CliCommand::kHistoryWatch, {"history", "watch", "d", "--device", "1"}, "--device NAME"},
      {CliCommand::kHistoryWatch,
       {"history", "watch", "d", "--device", "1", "--new-device"},
       "--new-device"},
      {CliCommand::kHistoryWatch,
       {"history", "watch", "d", "--device-from-folder"},
       "--device-from-folder"},
      {CliCommand::kHistoryWatch,
       {"history", "watch", "d", "--device-from-name", "x"},
       "--device-from-name REGEX"},
      {CliCommand::kHistoryWatch,
       {"history", "watch", "d", "--device", "1", "--interval", "9"},
       "--interval SECONDS"},
      {CliCommand::kHistoryWatch,
       {"history", "watch", "d", "--device", "1", "--settle", "9"},
       "--settle SECONDS"},
      {CliCommand::kHistoryWatch,
       {"history", "watch", "d", "--device", "1", "--state", "s"},
       "--state FILE"},
      {CliCommand::kHistoryWatch,
       {"history", "watch", "d", "--device", "1", "--db", "x"},
       "--db STORE"},
      {CliCommand::kHistoryReport,
       {"history", "report", "-o", "x", "--device", "1"},
       "--device NAME"},
      {CliCommand::kHistoryReport,
       {"history", "report", "-o", "{device}", "--from", "2025-01-02"},
       "--from DATE"},
      {CliCommand::kHistoryReport,
       {"history", "report", "-o", "{device}", "--to", "2025-01-02"},
       "--to DATE"},
      {CliCommand::kHistoryReport,
       {"history", "report", "-o", "{device}", "--period", "2025"},
       "--period P"},
      {CliCommand::kHistoryReport,
       {"history", "report", "-o", "{device}", "--format", "csv"},
       "--format F"},
      {CliCommand::kHistoryReport,
       {"history", "report", "-o", "{device}", "--format", "csv", "--bom"},
       "--bom"},
      {CliCommand::kHistoryReport,
       {"history", "report", "-o", "{device}", "--format", "csv", "--heading"},
       "--heading"},
      {CliCommand::kHistoryReport,
       {"history", "report", "-o", "{device}", "--format", "csv", "--csv-dialect", "excel"},
       "--csv-dialect D"},
      {CliCommand::kHistoryReport,
       {"history", "report", "-o", "{device}", "--db", "x"},
       "--db STORE"},
      {CliCommand::kHistoryList, {"history", "list", "--relay", "1,4-6"}, "--relay N"},
      {CliCommand::kHistoryList, {"history", "list", "--code", "2,50-51"}, "--code CODES"},
      {CliCommand::kHistoryStats, {"history", "stats", "--device", "1"}, "--device NAME"},
      {CliCommand::kHistoryStats, {"history", "stats", "--from", "2025-01-02"}, "--from DATE"},
      {CliCommand::kHistoryStats, {"history", "stats", "--to", "2025-01-02"}, "--to DATE"},
      {CliCommand::kHistoryStats, {"history", "stats", "--input", "3,7"}, "--input N"},
      {CliCommand::kHistoryStats, {"history", "stats", "--format", "csv"}, "--format F"},
      {CliCommand::kHistoryStats, {"history", "stats", "--format", "csv", "--bom"}, "--bom"},
      {CliCommand::kHistoryStats,
       {"history", "stats", "--format", "csv", "--csv-dialect", "excel"},
       "--csv-dialect D"},
      {CliCommand::kHistoryStats, {"history", "stats", "-o", "x"}, "-o, --output P"},
      {CliCommand::kHistoryStats, {"history", "stats", "--db", "x"}, "--db STORE"},
      {CliCommand::kHistoryStats, {"history", "stats", "--period", "2025"}, "--period P"},
      {CliCommand::kHistoryDevices, {"history", "devices", "--format", "json"}, "--format F"},
      {CliCommand::kHistoryDevices, {"history", "devices", "--db", "x"}, "--db STORE"},
      {CliCommand::kHistoryNamesSet,
       {"history", "names", "set", "n", "--device", "1", "--input", "2"},
       "--device NAME"},
      {CliCommand::kHistoryNamesSet,
       {"history", "names", "set", "n", "--device", "1", "--input", "256"},
       "--input N"},
      {CliCommand::kHistoryNamesSet,
       {"history", "names", "set", "n", "--device", "1", "--relay", "1"},
       "--relay N"},
      {CliCommand::kHistoryNamesSet,
       {"history", "names", "set", "n", "--device", "1", "--relay", "1", "--db", "x"},
       "--db STORE"},
      {CliCommand::kHistoryNamesImport,
       {"history", "names", "import", "a", "--db", "x"},
       "--db STORE"},
      {CliCommand::kHistoryNamesList, {"history", "names", "list", "--db", "x"}, "--db STORE"},
      {CliCommand::kHistoryDevicesRename,
       {"history", "devices", "rename", "a", "b", "--reason", "r"},
       "--reason TEXT"},
      {CliCommand::kHistoryDevicesRename,
       {"history", "devices", "rename", "a", "b", "--db", "x"},
       "--db STORE"},
      {CliCommand::kHistoryDevicesRemove,
       {"history", "devices", "remove", "a", "--reason", "r"},
       "--reason TEXT"},
      {CliCommand::kHistoryDevicesRemove,
       {"history", "devices", "remove", "a", "--db", "x"},
       "--db STORE"},
      {CliCommand::kHistoryCopies, {"history", "copies", "--device", "a"}, "--device NAME"},
      {CliCommand::kHistoryCopies, {"history", "copies", "--format", "csv"}, "--format F"},
      {CliCommand::kHistoryCopies, {"history", "copies", "--db", "x"}, "--db STORE"},
      {CliCommand::kHistoryCopyFile, {"history", "copy-file", "1", "-o", "x"}, "-o, --output P"},
      {CliCommand::kHistoryCopyFile,
       {"history", "copy-file", "1", "-o", "x", "--db", "x"},
       "--db STORE"},
      {CliCommand::kHistoryWithdraw,
       {"history", "withdraw", "1", "--reason", "r"},
       "--reason TEXT"},
      {CliCommand::kHistoryWithdraw, {"history", "withdraw", "1", "2", "--db", "x"}, "--db STORE"},
      {CliCommand::kHistoryJournal, {"history", "journal", "--device", "a"}, "--device NAME"},
      {CliCommand::kHistoryJournal, {"history", "journal", "--format", "json"}, "--format F"},
      {CliCommand::kHistoryJournal, {"history", "journal", "--db", "x"}, "--db STORE"},
      {CliCommand::kHistoryGaps, {"history", "gaps", "--device", "a"}, "--device NAME"},
      {CliCommand::kHistoryGaps, {"history", "gaps", "--from", "2025-01-02"}, "--from DATE"},
      {CliCommand::kHistoryGaps, {"history", "gaps", "--to", "2025-01-02"}, "--to DATE"},
      {CliCommand::kHistoryGaps, {"history", "gaps", "--period", "2025"}, "--period P"},
      {CliCommand::kHistoryGaps, {"history", "gaps", "--format", "csv"}, "--format F"},
      {CliCommand::kHistoryGaps, {"history", "gaps", "--db", "x"}, "--db STORE"},
      {CliCommand::kHistoryVerify, {"history", "verify", "--device", "a"}, "--device NAME"},
      {CliCommand::kHistoryVerify, {"history", "verify", "--db", "x"}, "--db STORE"},
      {CliCommand::kHistoryVerify, {"history", "verify", "--listing", kDigest}, "--listing DIGEST"},
      {CliCommand::kHistoryVerify,
       {"history", "verify", "--listing", kDigest, "--from", "2025-01-02"},
       "--from DATE"},
      {CliCommand::kHistoryVerify,
       {"history", "verify", "--listing", kDigest, "--to", "2025-01-02"},
       "--to DATE"},
      {CliCommand::kHistoryVerify,
       {"history", "verify", "--listing", kDigest, "--period", "2025"},
       "--period P"},
      {CliCommand::kHistoryVerify,
       {"history", "verify", "--listing", kDigest, "--input", "2"},
       "--input N"},
      {CliCommand::kHistoryVerify,
       {"history", "verify", "--listing", kDigest, "--events", "relay"},
       "--events KINDS"},
      {CliCommand::kHistoryVerify,
       {"history", "verify", "--listing", kDigest, "--code", "2"},
       "--code CODES"},
      {CliCommand::kHistoryVerify,
       {"history", "verify", "--listing", kDigest, "--text", "a"},
       "--text TEXT"},
      {CliCommand::kHistoryVerify,
       {"history", "verify", "--listing", kDigest, "--newest-first"},
       "--newest-first"},
      {CliCommand::kHistoryVerify,
       {"history", "verify", "--listing", kDigest, "--relay", "2"},
       "--relay N"},
      {CliCommand::kHistoryCheck, {"history", "check", "--device", "a"}, "--device NAME"},
      {CliCommand::kHistoryCheck, {"history", "check", "--db", "x"}, "--db STORE"},
      // The chart takes the listing's filters and writes an image.
      {CliCommand::kHistoryChart,
       {"history", "chart", "-o", "c.png", "--device", "1"},
       "--device NAME"},
      {CliCommand::kHistoryChart,
       {"history", "chart", "-o", "c.png", "--from", "2025-01-02"},
       "--from DATE"},
      {CliCommand::kHistoryChart,
       {"history", "chart", "-o", "c.png", "--to", "2025-01-02"},
       "--to DATE"},
      {CliCommand::kHistoryChart,
       {"history", "chart", "-o", "c.png", "--period", "2025"},
       "--period P"},
      {CliCommand::kHistoryChart, {"history", "chart", "-o", "c.png", "--bin", "week"}, "--bin B"},
      {CliCommand::kHistoryChart,
       {"history", "chart", "-o", "c.png", "--size", "800x300"},
       "--size WxH"},
      {CliCommand::kHistoryChart, {"history", "chart", "-o", "c.png", "--input", "3"}, "--input N"},
      {CliCommand::kHistoryChart,
       {"history", "chart", "-o", "c.png", "--events", "relay"},
       "--events KINDS"},
      {CliCommand::kHistoryChart,
       {"history", "chart", "-o", "c.png", "--code", "2"},
       "--code CODES"},
      {CliCommand::kHistoryChart,
       {"history", "chart", "-o", "c.png", "--text", "x"},
       "--text TEXT"},
      {CliCommand::kHistoryChart, {"history", "chart", "-o", "c.png", "--relay", "2"}, "--relay N"},
      {CliCommand::kHistoryChart,
       {"history", "chart", "-o", "c.svg", "--format", "svg"},
       "--format F"},
      {CliCommand::kHistoryChart, {"history", "chart", "-o", "c.png"}, "-o, --output P"},
      {CliCommand::kHistoryChart, {"history", "chart", "-o", "c.png", "--db", "x"}, "--db STORE"},
      {CliCommand::kHistoryBackup, {"history", "backup", "b.db", "--db", "x"}, "--db STORE"},
  };
  for (const OptionCase& option : cases) {
    SCOPED_TRACE(option.spelling);
    Parsed(option.args);
    EXPECT_NE(CommandUsage(option.command).find("\n  " + option.spelling + " "), std::string::npos);
  }
  for (const CommandDeclaration& declared : CommandTable()) {
    const CliCommand command = declared.command;
    const std::string usage = CommandUsage(command);
    EXPECT_NE(usage.find("\n  -h, --help "), std::string::npos) << usage;
    EXPECT_NE(usage.find("\n  --version "), std::string::npos) << usage;
    // Each option line of the usage is one of the cases above.
    std::size_t optionLines = 0;
    for (std::size_t at = usage.find("\n  -"); at != std::string::npos;
         at = usage.find("\n  -", at + 1)) {
      ++optionLines;
    }
    std::size_t listed = 2;  // -h, --help and --version
    for (const OptionCase& option : cases) listed += option.command == command ? 1 : 0;
    EXPECT_EQ(optionLines, listed) << usage;
  }
}

TEST(CliOptionsTest, ToolHelpNamesEveryCommand) {
  const std::string usage = ToolUsage();
  for (const char* line :
       {"\n  view FILE ", "\n  report FILE ", "\n  info FILE... ", "\n  sample OUT ",
        "\n  help COMMAND ", "\n  -h, --help ", "\n  --version "}) {
    EXPECT_NE(usage.find(line), std::string::npos) << line;
  }
}

// --- the option table ---

// The fields in which two parsed command lines differ.
std::vector<std::string> ChangedFields(const CliOptions& a, const CliOptions& b) {
  std::vector<std::string> changed;
  const auto compare = [&](const char* name, bool same) {
    if (!same) changed.push_back(name);
  };
  compare("command", a.command == b.command);
  compare("path", a.path == b.path);
  compare("viewKind", a.viewKind == b.viewKind);
  compare("blocksBack", a.blocksBack == b.blocksBack);
  compare("dateKey", a.dateKey == b.dateKey);
  compare("inputNumber", a.inputNumber == b.inputNumber);
  compare("steps", a.steps == b.steps);
  compare("encoding", a.encoding == b.encoding);
  compare("byteOrderMark", a.byteOrderMark == b.byteOrderMark);
  compare("csvDialect", a.csvDialect == b.csvDialect);
  compare("format", a.format == b.format);
  compare("outputPath", a.outputPath == b.outputPath);
  compare("seed", a.seed == b.seed);
  compare("fill", a.fill == b.fill);
  compare("force", a.force == b.force);
  compare("arguments", a.arguments == b.arguments);
  const HistoryOptions& x = a.history;
  const HistoryOptions& y = b.history;
  compare("history.db", x.db == y.db);
  compare("history.device", x.query.devices == y.query.devices);
  const auto time = [](const std::optional<history::CopyTime>& t) {
    return t ? std::optional(t->unixSeconds) : std::nullopt;
  };
  compare("history.copiedAt", time(x.copiedAt) == time(y.copiedAt));
  const auto key = [](const std::optional<history::CalendarDate>& d) {
    return d ? std::optional(d->Key()) : std::nullopt;
  };
  compare("history.from", key(x.query.from) == key(y.query.from));
  compare("history.to", key(x.query.to) == key(y.query.to));
  compare("history.input", x.query.input == y.query.input);
  compare("history.kinds", x.query.kinds == y.query.kinds);
  compare("history.text", x.query.text == y.query.text);
  compare("history.newestFirst", x.query.newestFirst == y.query.newestFirst);
  compare("history.relay", x.relay == y.relay);
  compare("history.deviceFromFolder", x.deviceFromFolder == y.deviceFromFolder);
  compare("history.deviceFromName", x.deviceFromName == y.deviceFromName);
  compare("history.quiet", x.quiet == y.quiet);
  compare("history.watchInterval", x.watchInterval == y.watchInterval);
  compare("history.watchSettle", x.watchSettle == y.watchSettle);
  compare("history.watchState", x.watchState == y.watchState);
  compare("history.newDevice", x.newDevice == y.newDevice);
  compare("history.forceDevice", x.forceDevice == y.forceDevice);
  compare("history.types", x.query.types == y.query.types);
  compare("history.codes", x.query.codes == y.query.codes);
  compare("history.inputs", x.query.inputs == y.query.inputs);
  compare("history.relays", x.query.relays == y.query.relays);
  compare("history.reason", x.reason == y.reason);
  compare("history.copyIds", x.copyIds == y.copyIds);
  compare("history.listingDigest", x.listingDigest == y.listingDigest);
  compare("history.heading", x.heading == y.heading);
  compare("history.chartBin", x.chartBin == y.chartBin);
  compare("history.chartSize", x.chartWidth == y.chartWidth && x.chartHeight == y.chartHeight);
  return changed;
}

// The shortest valid command line of `command` that leaves out the option
// `except` and the options it stands in for.
std::vector<std::string> CommandLineOf(CliCommand command, const std::string& except) {
  const CommandDeclaration& declared = CommandDeclarationOf(command);
  std::vector<std::string> args;
  for (std::size_t at = 0; at <= declared.name.size();) {
    const std::size_t space = std::min(declared.name.find(' ', at), declared.name.size());
    args.emplace_back(declared.name.substr(at, space - at));
    at = space + 1;
  }
  if (command == CliCommand::kHistoryImport || command == CliCommand::kHistoryWatch ||
      command == CliCommand::kHistoryNamesSet) {
    // Each copy's device comes from one of --device and the options that
    // stand in for it.
    if (except != "--device" && except.rfind("--device-from-", 0) != 0) {
      args.insert(args.end(), {"--device", "1"});
    }
  }
  if (command == CliCommand::kHistoryNamesSet && except != "--input" && except != "--relay") {
    args.insert(args.end(), {"--input", "2"});
  }
  // A copy is written back to a file.
  if (command == CliCommand::kHistoryCopyFile && except != "--output") {
    args.insert(args.end(), {"-o", "copy.dat"});
  }
  // A chart is an image file.
  if (command == CliCommand::kHistoryChart && except != "--output") {
    args.insert(args.end(), {"-o", "chart.png"});
  }
  // A report writes files named by a pattern.
  if (command == CliCommand::kHistoryReport && except != "--output") {
    args.insert(args.end(), {"-o", "r-{device}.txt"});
  }
  // A listing's filters in verify check a listing.
  if (command == CliCommand::kHistoryVerify && except != "--listing") {
    args.insert(args.end(), {"--listing", kDigest});
  }
  if (declared.arguments != ArgumentCount::kNone) args.emplace_back("1");
  if (declared.arguments == ArgumentCount::kTwo) args.emplace_back("2");
  return args;
}

// Each option sets its own fields and no other, in every command that takes
// it; an option added to the table without a case here fails the test.
TEST(OptionTableTest, EachOptionSetsOnlyItsOwnFields) {
  struct FieldCase {
    std::vector<std::string> needs;  // other options the command line needs to be valid
    std::vector<std::string> given;  // the option and its value
    std::vector<std::string> fields;
  };
  const std::map<std::string, FieldCase> cases = {
      {"--device", {{}, {"--device", "Склад"}, {"history.device"}}},
      {"--copied-at", {{}, {"--copied-at", "2025-01-10T12:00:00"}, {"history.copiedAt"}}},
      {"--new-device", {{}, {"--new-device"}, {"history.newDevice"}}},
      {"--force-device", {{}, {"--force-device"}, {"history.forceDevice"}}},
      {"--from", {{}, {"--from", "2025-01-10"}, {"history.from"}}},
      {"--to", {{}, {"--to", "10.01.2025"}, {"history.to"}}},
      {"--period", {{}, {"--period", "2025-Q1"}, {"history.from", "history.to"}}},
      {"--device-from-folder", {{}, {"--device-from-folder"}, {"history.deviceFromFolder"}}},
      {"--device-from-name",
       {{}, {"--device-from-name", "^([a-z]+)_"}, {"history.deviceFromName"}}},
      {"--quiet", {{}, {"--quiet"}, {"history.quiet"}}},
      {"--interval", {{}, {"--interval", "60"}, {"history.watchInterval"}}},
      {"--settle", {{}, {"--settle", "0"}, {"history.watchSettle"}}},
      {"--state", {{}, {"--state", "w.state"}, {"history.watchState"}}},
      {"--events", {{}, {"--events", "relay,input"}, {"history.kinds"}}},
      {"--code", {{}, {"--code", "2,50-51"}, {"history.codes"}}},
      {"--text", {{}, {"--text", "Сигн"}, {"history.text"}}},
      {"--newest-first", {{}, {"--newest-first"}, {"history.newestFirst"}}},
      {"--relay", {{}, {"--relay", "200"}, {"history.relay"}}},
      {"--db", {{}, {"--db", "h.sqlite3"}, {"history.db"}}},
      {"--reason", {{}, {"--reason", "чужая копия"}, {"history.reason"}}},
      {"--listing", {{}, {"--listing", kDigest}, {"history.listingDigest"}}},
      {"--heading", {{"--format", "csv"}, {"--heading"}, {"history.heading"}}},
      {"--bin", {{}, {"--bin", "month"}, {"history.chartBin"}}},
      {"--size", {{}, {"--size", "800x300"}, {"history.chartSize"}}},
      {"--block", {{}, {"--block", "2"}, {"blocksBack"}}},
      {"--date", {{}, {"--date", "01.02"}, {"viewKind", "dateKey"}}},
      {"--input", {{}, {"--input", "2"}, {"viewKind", "inputNumber"}}},
      {"--steps", {{}, {"--steps", "bf"}, {"steps"}}},
      {"--format", {{}, {"--format", "json"}, {"format"}}},
      {"--bom", {{"--format", "csv"}, {"--bom"}, {"byteOrderMark"}}},
      {"--csv-dialect", {{"--format", "csv"}, {"--csv-dialect", "excel"}, {"csvDialect"}}},
      {"--force", {{}, {"--force"}, {"force"}}},
      {"--output", {{}, {"-o", "{device}.txt"}, {"outputPath"}}},
      {"--encoding", {{}, {"--encoding", "cp1251"}, {"encoding"}}},
      {"--seed", {{}, {"--seed", "2"}, {"seed"}}},
      {"--fill", {{}, {"--fill", "2"}, {"fill"}}},
  };
  // A command that cannot go without the option compares two values of it.
  const std::map<std::string, std::string> otherValues = {
      {"--device", "2"}, {"--input", "3"}, {"--relay", "3"}, {"--output", "other-{device}"}};
  for (const OptionDeclaration& option : OptionTable()) {
    const std::string name(option.name);
    SCOPED_TRACE(name);
    ASSERT_EQ(cases.count(name), 1u) << "no case for a new option";
    const FieldCase& c = cases.at(name);
    ASSERT_FALSE(option.commands.empty());
    for (const CliCommand command : option.commands) {
      SCOPED_TRACE(CommandDeclarationOf(command).name);
      std::vector<std::string> args = CommandLineOf(command, name);
      args.insert(args.end(), c.needs.begin(), c.needs.end());
      std::vector<std::string> withoutArgs = args;
      // The options that stand in for --device are compared with --device
      // given and then taken away.
      const bool standsInForDevice = name.rfind("--device-from-", 0) == 0;
      if (standsInForDevice) {
        withoutArgs.insert(withoutArgs.end(), {"--device", "1"});
      } else if (ParseCommandLine(withoutArgs).outcome != Outcome::kRun) {
        withoutArgs.insert(withoutArgs.end(), {name, otherValues.at(name)});
      }
      CliOptions without = Parsed(withoutArgs);
      if (standsInForDevice) without.history.query.devices.clear();
      // An image is not JSON.
      const std::vector<std::string> given =
          name == "--format" && command == CliCommand::kHistoryChart
              ? std::vector<std::string>{"--format", "svg"}
              : c.given;
      args.insert(args.end(), given.begin(), given.end());
      // An input of the history is a filter or a name's number, not a view.
      // A listing's relays are a filter too.
      std::vector<std::string> fields = c.fields;
      if (name == "--input" && IsHistoryCommand(command)) fields = {"history.input"};
      if (name == "--relay" && command != CliCommand::kHistoryNamesSet) fields = {"history.relays"};
      EXPECT_EQ(ChangedFields(without, Parsed(args)), fields);
    }
  }
}

TEST(OptionTableTest, EveryOptionIsFoundByEachSpellingAndHelpedInEachCommand) {
  std::set<std::string_view> spellings;
  for (const OptionDeclaration& option : OptionTable()) {
    SCOPED_TRACE(option.name);
    EXPECT_TRUE(spellings.insert(option.name).second) << "declared twice";
    EXPECT_EQ(FindOption(option.name), &option);
    if (!option.shortName.empty()) {
      EXPECT_TRUE(spellings.insert(option.shortName).second);
      EXPECT_EQ(FindOption(option.shortName), &option);
    }
    EXPECT_EQ(option.kind == OptionKind::kFlag, option.valueName.empty());
    EXPECT_NE(option.apply, nullptr);
    for (const CommandDeclaration& command : CommandTable()) {
      EXPECT_EQ(option.HelpFor(command.command).empty(), !option.TakenBy(command.command))
          << command.name;
    }
  }
  EXPECT_EQ(FindOption("--help"), nullptr);
  EXPECT_EQ(FindOption("-h"), nullptr);
  EXPECT_EQ(FindOption("--version"), nullptr);
  EXPECT_EQ(FindOption("--bogus"), nullptr);
  EXPECT_EQ(FindOption("-"), nullptr);
}

TEST(OptionTableTest, AFlagTakesNoValueAndAValueOptionTakesTheNextArgument) {
  // "--bom" does not swallow the file name after it.
  const CliOptions flag = Parsed({"view", "--format", "csv", "--bom", "a.dat"});
  EXPECT_TRUE(flag.byteOrderMark);
  EXPECT_EQ(flag.path, "a.dat");
  // A value that looks like an option is still the value.
  const CliOptions value = Parsed({"view", "a.dat", "-o", "--bom"});
  EXPECT_EQ(value.outputPath, "--bom");
  EXPECT_FALSE(value.byteOrderMark);
}

TEST(OptionTableTest, CommandsAreFoundByName) {
  // The command a whole name, given as the words of a command line, names.
  const auto FindCommand = [](std::string_view name) -> const CommandDeclaration* {
    std::vector<std::string> words;
    for (std::size_t start = 0; start <= name.size();) {
      const std::size_t end = std::min(name.find(' ', start), name.size());
      words.emplace_back(name.substr(start, end - start));
      start = end + 1;
    }
    std::size_t taken = 0;
    const CommandDeclaration* found = FindCommandIn(words, taken);
    return found != nullptr && taken == words.size() ? found : nullptr;
  };
  for (const CommandDeclaration& command : CommandTable()) {
    EXPECT_EQ(FindCommand(command.name), &command);
    EXPECT_EQ(&CommandDeclarationOf(command.command), &command);
  }
  EXPECT_EQ(FindCommand("View"), nullptr);
  EXPECT_EQ(FindCommand("history"), nullptr);
  EXPECT_EQ(FindCommand("history names set")->command, CliCommand::kHistoryNamesSet);
  EXPECT_EQ(FindCommand("history devices")->command, CliCommand::kHistoryDevices);
  EXPECT_EQ(FindCommand("history devices rename")->command, CliCommand::kHistoryDevicesRename);
  EXPECT_EQ(CommandTable().size(), 24u);
}

TEST(ViewDescriptionTest, DescribesTheViewAskedFor) {
  CliOptions options;
  options.blocksBack = 5;
  options.steps = "bbf";
  const ViewDescription block = DescribeView(options);
  EXPECT_EQ(block.kind, "block");
  EXPECT_EQ(block.block, 5);
  EXPECT_EQ(block.date, std::nullopt);
  EXPECT_EQ(block.input, std::nullopt);
  EXPECT_EQ(block.steps, "bbf");

  options.viewKind = ViewKind::kDate;
  options.dateKey = "05.11";
  const ViewDescription date = DescribeView(options);
  EXPECT_EQ(date.kind, "date");
  EXPECT_EQ(date.block, std::nullopt);
  EXPECT_EQ(date.date, "05.11");

  options.viewKind = ViewKind::kInput;
  options.inputNumber = 12;
  options.steps.clear();
  const ViewDescription input = DescribeView(options);
  EXPECT_EQ(input.kind, "input");
  EXPECT_EQ(input.input, 12);
  EXPECT_EQ(input.date, std::nullopt);

  const ViewDescription report = DescribeReport();
  EXPECT_EQ(report.kind, "report");
  EXPECT_EQ(report.block, std::nullopt);
  EXPECT_EQ(report.steps, "");
}

}  // namespace
}  // namespace torv
