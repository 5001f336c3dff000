// torvdoc-cli: the archive views and the whole-archive report on standard
// output, and the generator of sample archives.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli_commands.h"
#include "cli/cli_output.h"
#include "cli/cli_usage.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  const torv::CommandOutcome outcome = torv::RunCommandLine(args);
  const bool errWritten = torv::WriteBytes(stderr, outcome.err);
  if (!torv::WriteBytes(stdout, outcome.out)) {
    if (errWritten) {
      torv::WriteBytes(stderr, std::string(torv::kProgramName) + ": cannot write the output\n");
    }
    return torv::kExitMessage;
  }
  return outcome.exitCode;
}
