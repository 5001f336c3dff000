#include "cli/cli_commands.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "archive/archive_source.h"
#include "archive/archive_summary.h"
#include "archive/event_table.h"
#include "archive/sample_archive.h"
#include "archive/view_outcome.h"
#include "archive/view_request.h"
#include "archive/view_state.h"
#include "cli/archive_info.h"
#include "cli/archive_input.h"
#include "cli/cli_messages.h"
#include "cli/cli_option_table.h"
#include "cli/cli_output.h"
#include "cli/command_streams.h"
#include "cli/history_commands.h"
#include "cli/output_formats.h"
#include "cli/view_description.h"
#include "fileio/atomic_write.h"
#include "report/report_builder.h"

namespace torv {
namespace {

CommandOutcome MessageOutcome(std::string message) {
  CommandOutcome outcome;
  outcome.exitCode = kExitMessage;
  outcome.err = std::move(message);
  return outcome;
}

// What the exports need of the view shown last. The newest record's time and
// date read as its cells do, like every other record of the export.
ViewExport ExportOf(const ViewOutcome& last, const ArchiveImage& image, ViewDescription description,
                    std::string status, std::vector<ViewRow> rows) {
  ViewExport exported;
  exported.status = std::move(status);
  exported.view = std::move(description);
  exported.writeOffset = last.writeOffset.value_or(0);
  if (last.newestRecordText) {
    exported.newestTimeDate = ShownTimeDate(image.RecordAt(NewestOffset(exported.writeOffset)));
  }
  exported.rows = std::move(rows);
  return exported;
}

// The tool never writes an archive: -o naming one of the archives read,
// under any path or link, would replace it with the output.
bool OutputIsAnArchive(const CliOptions& options) {
  if (IsStandardOutput(options.outputPath)) return false;
  return std::any_of(
      options.arguments.begin(), options.arguments.end(), [&](const std::string& path) {
        std::error_code error;
        return path != kStandardStream &&
               std::filesystem::equivalent(options.outputPath, path, error) && !error;
      });
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

// Runs `show` on the archive of `options.path`, read once: the message when
// it cannot be read, and before whatever `show` gives, the warning on an
// archive file of the wrong size.
template <typename Show>
CommandOutcome WithArchive(const CliOptions& options, Show show) {
  const Result<ArchiveInput> input = ReadArchiveInput(options.path);
  if (!input) return MessageOutcome(CannotOpenArchiveMessage(options.path, input.failure()));
  ViewState state;
  state.ArchiveFileName = input->shownName;
  CommandOutcome outcome = show(*input, state, ImageArchiveSource(input->contents.image));
  outcome.err.insert(0, ArchiveSizeWarning(options.path, input->contents.fileSize));
  return outcome;
}

CommandOutcome ViewMessageOutcome(const CliOptions& options, const ArchiveInput& input,
                                  const std::string& message) {
  return MessageOutcome(ArchiveViewMessage(options.path, message, input.contents.fileSize));
}

}  // namespace

CommandOutcome Deliver(Result<std::string> bytes, const std::string& outputPath) {
  CommandOutcome outcome;
  if (!bytes) return MessageOutcome(CliMessage({}, bytes.failure().reason));
  if (IsStandardOutput(outputPath)) {
    outcome.out = std::move(*bytes);
  } else if (const Status written = WriteFileAtomically(outputPath, *bytes); !written) {
    return MessageOutcome(CannotWriteMessage(outputPath, written.failure()));
  }
  return outcome;
}

CommandOutcome RunView(const CliOptions& options) {
  return WithArchive(options, [&options](const ArchiveInput& input, const ViewState& state,
                                         const ArchiveSource& source) {
    ViewOutcome view = RequestView(state, FirstRequest(options), source);
    // Each step continues from where the view before it left ReadOffset.
    for (const char step : options.steps) {
      if (!view.Shown()) break;
      view = RequestView(
          view.state, step == kStepBackward ? ViewRequest::StepBack() : ViewRequest::StepForward(),
          source);
    }
    if (!view.Shown()) return ViewMessageOutcome(options, input, *view.message);
    const ViewExport exported =
        ExportOf(view, input.contents.image, DescribeView(options), view.status, view.rows);
    return Deliver(FormatReportOutput(BuildViewReport(view), exported, options),
                   options.outputPath);
  });
}

CommandOutcome RunReport(const CliOptions& options) {
  return WithArchive(options, [&options](const ArchiveInput& input, const ViewState& first,
                                         const ArchiveSource& source) {
    ViewState state = first;
    const WholeArchiveReport report = BuildWholeArchiveReport(state, source);
    if (report.message) return ViewMessageOutcome(options, input, *report.message);
    // The report's status line is that of its first view, not of the last.
    const ViewExport exported =
        ExportOf(report.views.back(), input.contents.image, DescribeReport(), report.lines.front(),
                 report.ReportedRows());
    return Deliver(FormatReportOutput(report.lines, exported, options), options.outputPath);
  });
}

CommandOutcome RunInfo(const CliOptions& options) {
  CommandOutcome outcome;
  std::vector<SummarizedArchive> summaries;
  for (const std::string& path : options.arguments) {
    const Result<ArchiveInput> input = ReadArchiveInput(path);
    if (!input) {
      outcome.err += CannotOpenArchiveMessage(path, input.failure());
      continue;
    }
    summaries.push_back(
        {input->shownName, SummarizeArchive(input->contents.image, input->contents.fileSize)});
  }
  if (!summaries.empty()) {
    // Several files give a list even when some could not be read, so that
    // the shape of the output depends only on the command line.
    const bool list = options.arguments.size() > 1;
    CommandOutcome delivered =
        Deliver(FormatInfoOutput(summaries, list, options), options.outputPath);
    outcome.out = std::move(delivered.out);
    outcome.err += delivered.err;
    outcome.exitCode = delivered.exitCode;
  }
  if (summaries.size() < options.arguments.size()) outcome.exitCode = kExitMessage;
  return outcome;
}

CommandOutcome RunSample(const CliOptions& options) {
  const std::vector<std::uint8_t> bytes =
      GenerateArchive(SampleOptions{.seed = options.seed, .fill = options.fill});
  const std::string_view content(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (options.path == kStandardStream) return Deliver(std::string(content), options.path);
  const Status written = options.force ? WriteFileAtomically(options.path, content)
                                       : WriteNewFileAtomically(options.path, content);
  if (written) return {};
  if (!options.force && written.failure().errorNumber == EEXIST) {
    return MessageOutcome(CliMessage(options.path, "already exists; --force replaces it"));
  }
  return MessageOutcome(CannotWriteMessage(options.path, written.failure()));
}

CommandOutcome RunCommandLine(const std::vector<std::string>& args, CommandStreams* streams,
                              OutputEncoding localeEncoding) {
  const ParsedCommandLine parsed = ParseCommandLine(args, localeEncoding);
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
  if (OutputIsAnArchive(parsed.options)) {
    outcome.exitCode = kExitUsage;
    outcome.err =
        UsageErrorMessage(parsed.options.outputPath + " is the archive itself; it is never written",
                          CommandDeclarationOf(parsed.options.command).name);
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
    case CliCommand::kHistoryWatch:
    case CliCommand::kHistoryDevicesRename:
    case CliCommand::kHistoryDevicesRemove:
    case CliCommand::kHistoryCopies:
    case CliCommand::kHistoryCopyFile:
    case CliCommand::kHistoryWithdraw:
    case CliCommand::kHistoryJournal:
    case CliCommand::kHistoryGaps:
    case CliCommand::kHistoryVerify:
    case CliCommand::kHistoryCheck:
    case CliCommand::kHistoryBackup:
    case CliCommand::kHistoryList:
    case CliCommand::kHistoryReport:
    case CliCommand::kHistoryStats:
    case CliCommand::kHistoryChart:
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
