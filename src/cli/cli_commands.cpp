#include "cli/cli_commands.h"

#include <filesystem>
#include <string_view>
#include <system_error>

#include "archive/archive_reader.h"
#include "archive/archive_summary.h"
#include "archive/sample_archive.h"
#include "archive/view_messages.h"
#include "archive/view_outcome.h"
#include "archive/view_request.h"
#include "archive/view_state.h"
#include "cli/archive_info.h"
#include "cli/cli_usage.h"
#include "cli/command_streams.h"
#include "cli/history_commands.h"
#include "cli/report_output.h"
#include "cli/view_description.h"
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

// What the exports need of the view shown last.
ViewExport ExportOf(const ViewOutcome& last, ViewDescription description, std::string status,
                    std::vector<ViewRow> rows) {
  ViewExport exported;
  exported.status = std::move(status);
  exported.view = std::move(description);
  exported.writeOffset = last.writeOffset.value_or(0);
  exported.newestTimeDate = last.newestRecordText.value_or("");
  exported.rows = std::move(rows);
  return exported;
}

// The tool never writes an archive: -o naming the archive itself, under any
// path or link, would replace it with the output.
bool OutputIsTheArchive(const CliOptions& options) {
  if (options.outputPath.empty()) return false;
  std::error_code error;
  return std::filesystem::equivalent(options.outputPath, options.path, error) && !error;
}

CommandOutcome MessageOutcome(const std::string& message) {
  CommandOutcome outcome;
  outcome.exitCode = kExitMessage;
  outcome.err = message + "\n";
  return outcome;
}

ViewRequest FirstRequest(const CliOptions& options) {
  switch (options.viewKind) {
    case ViewKind::kDate:
      return ViewRequest::Date(options.dateKey);
    case ViewKind::kInput:
      return ViewRequest::Input(options.inputNumber);
    case ViewKind::kBlock:
      break;
  }
  return ViewRequest::Block(options.blocksBack);
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

CommandOutcome RunView(const CliOptions& options) {
  ViewState state;
  state.ArchiveFileName = AbsoluteArchiveName(options.path);
  ViewOutcome view = RequestView(state, FirstRequest(options));
  // Each step continues from where the view before it left ReadOffset.
  for (const char step : options.steps) {
    if (!view.Shown()) break;
    view = RequestView(
        view.state, step == kStepBackward ? ViewRequest::StepBack() : ViewRequest::StepForward());
  }
  if (!view.Shown()) return MessageOutcome(*view.message);
  const ViewExport exported = ExportOf(view, DescribeView(options), view.status, view.rows);
  return Deliver(FormatReportOutput(BuildViewReport(view), exported, options), options.outputPath);
}

CommandOutcome RunReport(const CliOptions& options) {
  ViewState state;
  state.ArchiveFileName = AbsoluteArchiveName(options.path);
  const WholeArchiveReport report = BuildWholeArchiveReport(state);
  if (report.message) return MessageOutcome(*report.message);
  // The report's status line is that of its first view, not of the last.
  const ViewExport exported =
      ExportOf(report.views.back(), DescribeReport(), report.lines.front(), report.ReportedRows());
  return Deliver(FormatReportOutput(report.lines, exported, options), options.outputPath);
}

CommandOutcome RunInfo(const CliOptions& options) {
  const std::string archiveName = AbsoluteArchiveName(options.path);
  const Result<ArchiveFileContents> contents = ReadArchiveContents(archiveName);
  if (!contents) return MessageOutcome(std::string(kCannotOpenMessage));
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

CommandOutcome RunCommandLine(const std::vector<std::string>& args, CommandStreams* streams) {
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
    case CliCommand::kHistoryImport:
    case CliCommand::kHistoryList:
    case CliCommand::kHistoryDevices:
    case CliCommand::kHistoryNamesSet:
    case CliCommand::kHistoryNamesImport:
    case CliCommand::kHistoryNamesList: {
      OutcomeStreams collected(outcome);
      outcome.exitCode = RunHistoryCommand(parsed.options, streams ? *streams : collected);
      return outcome;
    }
  }
  return outcome;
}

}  // namespace torv
