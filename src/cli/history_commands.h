// The history commands of torvdoc-cli: a thin face over the history store
// and its reports. Each writes as it goes, so that a long listing streams to
// standard output and each import's line shows once that copy is stored.
#pragma once

#include "cli/cli_commands.h"
#include "cli/cli_options.h"
#include "cli/command_streams.h"

namespace torv {

// Runs the history command of `options`, writing to `streams`; the exit code.
int RunHistoryCommand(const CliOptions& options, CommandStreams& streams);

}  // namespace torv
