// The commands of torvdoc-cli, run in memory: the caller writes the outcome.
#pragma once

#include <string>
#include <vector>

#include "archive/result.h"
#include "cli/cli_options.h"

namespace torv {

inline constexpr int kExitDone = 0;
inline constexpr int kExitMessage = 1;  // the view, the read or the file write ended in a message
inline constexpr int kExitUsage = 2;

struct CommandOutcome {
  int exitCode = kExitDone;
  std::string out;  // bytes for standard output, already in the chosen encoding
  std::string err;  // UTF-8 text for standard error
};

// The bytes of a command: to standard output, or with -o to the file,
// replaced whole or not at all. Bytes that could not be made are a message.
CommandOutcome Deliver(Result<std::string> bytes, const std::string& outputPath);

// Each reads its archive once, "-" being standard input, and warns on one of
// the wrong size before it shows anything.
// One view, then the steps; the report text of the last view.
CommandOutcome RunView(const CliOptions& options);
// The whole-archive report.
CommandOutcome RunReport(const CliOptions& options);
// The summary of each archive's contents; one that cannot be read gives its
// message and ends in exit 1, after the others.
CommandOutcome RunInfo(const CliOptions& options);
// Writes a generated archive, to standard output for "-"; an existing file
// only with --force.
CommandOutcome RunSample(const CliOptions& options);

class CommandStreams;

// Parses `args` (the arguments after the program name) and runs the command.
// A command that writes as it goes (the history's) writes to `streams` when
// given, else into the outcome. Text is written in `localeEncoding` unless
// --encoding says otherwise.
CommandOutcome RunCommandLine(const std::vector<std::string>& args,
                              CommandStreams* streams = nullptr,
                              OutputEncoding localeEncoding = OutputEncoding::kUtf8);

}  // namespace torv
