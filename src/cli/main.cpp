// torvdoc-cli: the archive views and the whole-archive report on standard
// output, the generator of sample archives, and the history store.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli_commands.h"
#include "cli/cli_output.h"
#include "cli/cli_usage.h"
#include "cli/command_streams.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  torv::StandardStreams streams;
  const torv::CommandOutcome outcome = torv::RunCommandLine(args, &streams);
  const bool errWritten = torv::WriteBytes(stderr, outcome.err);
  if (!torv::WriteBytes(stdout, outcome.out)) {
    if (errWritten) {
      torv::WriteBytes(stderr, std::string(torv::kProgramName) + ": cannot write the output\n");
    }
    return torv::kExitMessage;
  }
  return outcome.exitCode;
}
