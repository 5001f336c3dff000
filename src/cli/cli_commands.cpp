#include "cli/cli_commands.h"

#include <filesystem>
#include <string_view>
#include <system_error>

#include "archive/archive_reader.h"
#include "archive/archive_summary.h"
#include "archive/sample_archive.h"
#include "archive/view_engine.h"
#include "archive/view_messages.h"
#include "archive/view_state.h"
#include "cli/archive_info.h"
#include "cli/cli_usage.h"
#include "cli/last_read_source.h"
#include "cli/memory_screen.h"
#include "cli/report_output.h"
#include "cli/shown_rows.h"
#include "report/atomic_write.h"
#include "report/report_builder.h"

namespace torv {
namespace {

// The status line shows the archive's full path, as the open dialog gives it;
// symbolic links are kept as the user named them.
std::string AbsoluteArchiveName(const std::string& path) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  return error ? path : absolute.string();
}

CommandOutcome CannotWrite(const std::string& path) {
  CommandOutcome outcome;
  outcome.exitCode = kExitMessage;
  outcome.err = std::string(kProgramName) + ": cannot write " + path + "\n";
  return outcome;
}

}  // namespace

CommandOutcome Deliver(Result<std::string> bytes, const std::string& outputPath) {
  CommandOutcome outcome;
  if (!bytes) {
    outcome.exitCode = kExitMessage;
    outcome.err = std::string(kProgramName) + ": " + bytes.failure().reason + "\n";
  } else if (outputPath.empty()) {
    outcome.out = std::move(*bytes);
  } else if (!WriteFileAtomically(outputPath, *bytes).ok()) {
    return CannotWrite(outputPath);
  }
  return outcome;
}

namespace {

// What the exports need besides the rows; the rows are added by the caller.
ViewExport ExportHeading(const MemoryScreen& screen, const LastReadSource& source,
                         ViewDescription view) {
  ViewExport exported;
  exported.status = screen.StatusText();
  exported.view = std::move(view);
  exported.writeOffset = source.LastWriteOffset().value_or(0);
  exported.newestTimeDate = screen.NewestRecordText();
  return exported;
}

// The tool never writes an archive: -o naming the archive itself, under any
// path or link, would replace it with the output.
bool OutputIsTheArchive(const CliOptions& options) {
  if (options.outputPath.empty()) return false;
  std::error_code error;
  return std::filesystem::equivalent(options.outputPath, options.path, error) && !error;
}

// The message the last view ended with; the engine shows one per failed request.
CommandOutcome MessageOutcome(const MemoryScreen& screen) {
  CommandOutcome outcome;
  outcome.exitCode = kExitMessage;
  outcome.err = (screen.Messages().empty() ? std::string(kProgramName) + ": no view"
                                           : screen.Messages().back()) +
                "\n";
  return outcome;
}

}  // namespace

CommandOutcome RunView(const CliOptions& options) {
  ViewState state;
  MemoryScreen screen;
  const LastReadSource source;
  state.ArchiveFileName = AbsoluteArchiveName(options.path);
  switch (options.viewKind) {
    case ViewKind::kBlock:
      state.BlocksBack = options.blocksBack;
      break;
    case ViewKind::kDate:
      state.SearchDateKey = options.dateKey;
      state.DateSearchPending = 1;
      break;
    case ViewKind::kInput:
      screen.DisableStepButtons();
      state.InputNumber = options.inputNumber;
      state.InputFilterPending = 1;
      break;
  }
  if (Button1Click(state, screen, source) != ViewResult::kShown) return MessageOutcome(screen);

  // The step buttons: each press continues from where the previous view left
  // ReadOffset, so the state lives across the whole sequence.
  for (const char step : options.steps) {
    if (step == kStepBackward) {
      state.StepBackwardPending = 1;
    } else {
      state.StepForwardPending = 1;
    }
    if (Button1Click(state, screen, source) != ViewResult::kShown) return MessageOutcome(screen);
  }
  ViewExport exported = ExportHeading(screen, source, DescribeView(options));
  exported.rows = ShownRows(screen, state.ShownRowCount);
  return Deliver(FormatReportOutput(BuildTableReport(screen, state), exported, options),
                 options.outputPath);
}

CommandOutcome RunReport(const CliOptions& options) {
  ViewState state;
  MemoryScreen screen;
  const LastReadSource source;
  state.ArchiveFileName = AbsoluteArchiveName(options.path);
  // The rows are collected pass by pass, while the table shows them.
  std::vector<ExportedRow> rows;
  const auto collectRows = [&] {
    std::vector<ExportedRow> passRows = ShownRows(screen, state.ShownRowCount);
    rows.insert(rows.end(), passRows.begin(), passRows.end());
  };
  const std::optional<ReportLines> lines =
      BuildWholeArchiveReport(state, screen, screen, source, collectRows);
  if (!lines) return MessageOutcome(screen);

  ViewExport exported = ExportHeading(screen, source, DescribeReport());
  // The report's status line is that of its first view, not of the last.
  exported.status = lines->front();
  exported.rows = std::move(rows);
  return Deliver(FormatReportOutput(*lines, exported, options), options.outputPath);
}

CommandOutcome RunInfo(const CliOptions& options) {
  const std::string archiveName = AbsoluteArchiveName(options.path);
  const Result<ArchiveFileContents> contents = ReadArchiveContents(archiveName);
  if (!contents) {
    CommandOutcome outcome;
    outcome.exitCode = kExitMessage;
    outcome.err = std::string(kCannotOpenMessage) + "\n";
    return outcome;
  }
  const ArchiveSummary summary = SummarizeArchive(contents->image, contents->fileSize);
  return Deliver(options.format == OutputFormat::kJson ? ArchiveInfoJson(summary, archiveName)
                                                       : ArchiveInfoText(summary, archiveName),
                 options.outputPath);
}

CommandOutcome RunSample(const CliOptions& options) {
  const std::vector<std::uint8_t> bytes =
      GenerateArchive(SampleOptions{.seed = options.seed, .fill = options.fill});
  const std::string_view content(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (!WriteFileAtomically(options.path, content).ok()) return CannotWrite(options.path);
  return {};
}

CommandOutcome RunCommandLine(const std::vector<std::string>& args) {
  const ParsedCommandLine parsed = ParseCommandLine(args);
  CommandOutcome outcome;
  switch (parsed.outcome) {
    case ParsedCommandLine::Outcome::kHelp:
      outcome.out = parsed.text;
      return outcome;
    case ParsedCommandLine::Outcome::kUsageError:
      outcome.exitCode = kExitUsage;
      outcome.err = parsed.text;
      return outcome;
    case ParsedCommandLine::Outcome::kRun:
      break;
  }
  if (OutputIsTheArchive(parsed.options)) {
    outcome.exitCode = kExitUsage;
    outcome.err = std::string(kProgramName) + ": " + parsed.options.outputPath +
                  " is the archive itself; it is never written\n" +
                  CommandUsage(parsed.options.command);
    return outcome;
  }
  switch (parsed.options.command) {
    case CliCommand::kView:
      return RunView(parsed.options);
    case CliCommand::kReport:
      return RunReport(parsed.options);
    case CliCommand::kInfo:
      return RunInfo(parsed.options);
    case CliCommand::kSample:
      return RunSample(parsed.options);
  }
  return outcome;
}

}  // namespace torv
