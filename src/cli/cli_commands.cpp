#include "cli/cli_commands.h"

#include <filesystem>
#include <string_view>
#include <system_error>

#include "archive/sample_archive.h"
#include "archive/view_engine.h"
#include "archive/view_state.h"
#include "cli/cli_output.h"
#include "cli/cli_usage.h"
#include "cli/memory_screen.h"
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

CommandOutcome ReportOutcome(const ReportLines& lines, OutputEncoding encoding) {
  CommandOutcome outcome;
  outcome.out = EncodeOutput(JoinReportLines(lines) + "\n", encoding);
  return outcome;
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
  if (Button1Click(state, screen) != ViewResult::kShown) return MessageOutcome(screen);

  // The step buttons: each press continues from where the previous view left
  // ReadOffset, so the state lives across the whole sequence.
  for (const char step : options.steps) {
    if (step == kStepBackward) {
      state.StepBackwardPending = 1;
    } else {
      state.StepForwardPending = 1;
    }
    if (Button1Click(state, screen) != ViewResult::kShown) return MessageOutcome(screen);
  }
  return ReportOutcome(BuildTableReport(screen, state), options.encoding);
}

CommandOutcome RunReport(const CliOptions& options) {
  ViewState state;
  MemoryScreen screen;
  state.ArchiveFileName = AbsoluteArchiveName(options.path);
  const std::optional<ReportLines> lines = BuildWholeArchiveReport(state, screen, screen);
  if (!lines) return MessageOutcome(screen);
  return ReportOutcome(*lines, options.encoding);
}

CommandOutcome RunSample(const CliOptions& options) {
  const std::vector<std::uint8_t> bytes =
      GenerateArchive(SampleOptions{.seed = options.seed, .fill = options.fill});
  const std::string_view content(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  CommandOutcome outcome;
  if (!WriteFileAtomically(options.path, content)) {
    outcome.exitCode = kExitMessage;
    outcome.err = std::string(kProgramName) + ": cannot write " + options.path + "\n";
  }
  return outcome;
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
  switch (parsed.options.command) {
    case CliCommand::kView:
      return RunView(parsed.options);
    case CliCommand::kReport:
      return RunReport(parsed.options);
    case CliCommand::kSample:
      return RunSample(parsed.options);
  }
  return outcome;
}

}  // namespace torv
