// The command line of torvdoc-cli, parsed into what one run does.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "archive/view_request.h"
#include "cli/history_options.h"

namespace torv {

enum class CliCommand {
  kView,
  kReport,
  kInfo,
  kSample,
  kHistoryImport,
  kHistoryWatch,
  kHistoryList,
  kHistoryReport,
  kHistoryStats,
  kHistoryChart,
  kHistoryDevices,
  kHistoryDevicesRename,
  kHistoryDevicesRemove,
  kHistoryCopies,
  kHistoryCopyFile,
  kHistoryWithdraw,
  kHistoryJournal,
  kHistoryGaps,
  kHistoryVerify,
  kHistoryCheck,
  kHistoryBackup,
  kHistoryNamesSet,
  kHistoryNamesImport,
  kHistoryNamesList,
};

// Which view `view` asks for first.
enum class ViewKind { kBlock, kDate, kInput };

enum class OutputEncoding { kUtf8, kCp1251 };

// How `view`, `report` and `history list` write CSV: RFC 4180, or what a
// spreadsheet program in a Russian locale opens with a double click.
enum class CsvDialectName { kRfc4180, kExcel };

// The format every command writes unless --format names another.
inline constexpr std::string_view kTextFormat = "text";

inline constexpr int kMaxSampleFill = 1000000;
inline constexpr char kStepBackward = 'b';
inline constexpr char kStepForward = 'f';

struct CliOptions {
  CliCommand command = CliCommand::kView;
  std::string path;  // the archive to read, or the file `sample` writes
  // Every argument that is not an option, in order; `path` is the first.
  std::vector<std::string> arguments;

  // view
  ViewKind viewKind = ViewKind::kBlock;
  int blocksBack = kNewestBlock;
  std::string dateKey;
  int inputNumber = 0;
  std::string steps;  // 'b' and 'f', applied in order after the first view

  // view and report
  bool byteOrderMark = false;                            // CSV only; also history list
  CsvDialectName csvDialect = CsvDialectName::kRfc4180;  // also history list

  // view, report, info, history list (format: also history devices): the
  // name of a row of the command's format catalogue (output_formats.h)
  std::string_view format = kTextFormat;
  // Of text (view, report, info); the locale's unless --encoding is given.
  OutputEncoding encoding = OutputEncoding::kUtf8;
  std::string outputPath;  // empty or "-": standard output

  // sample
  std::uint32_t seed = 1;
  int fill = 1500;
  bool force = false;  // replace an existing OUT

  // the history commands
  HistoryOptions history;
};

struct ParsedCommandLine {
  enum class Outcome {
    kRun,         // `options` says what to do
    kHelp,        // `text` is the usage or the version asked for; it goes to standard output
    kUsageError,  // `text` names the fault and where to read more; it goes to standard error
  };
  Outcome outcome = Outcome::kRun;
  CliOptions options;
  std::string text;
};

// `args` are the arguments after the program name; text is written in
// `localeEncoding` unless --encoding says otherwise.
ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args,
                                   OutputEncoding localeEncoding = OutputEncoding::kUtf8);

}  // namespace torv
