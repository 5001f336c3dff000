// torvdoc-cli: the archive views and the whole-archive report on standard
// output, the generator of sample archives, and the history store.
#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli_commands.h"
#include "cli/cli_messages.h"
#include "cli/cli_output.h"
#include "cli/command_streams.h"
#include "cli/locale_encoding.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  torv::StandardStreams streams;
  const torv::CommandOutcome outcome = torv::RunCommandLine(args, &streams, torv::LocaleEncoding());
  const bool errWritten = torv::WriteBytes(stderr, outcome.err);
  if (!torv::WriteBytes(stdout, outcome.out)) {
    const torv::Failure failure = torv::SystemFailure(errno);
    if (errWritten) {
      torv::WriteBytes(stderr, torv::CannotWriteMessage("standard output", failure));
    }
    return torv::kExitMessage;
  }
  return outcome.exitCode;
}
