#include "cli/command_streams.h"

#include <cerrno>
#include <cstdio>

#include "cli/cli_output.h"

namespace torv {

bool StandardStreams::Out(std::string_view bytes) {
  if (!outFailure_ && !WriteBytes(stdout, bytes)) outFailure_ = SystemFailure(errno);
  return !outFailure_;
}

void StandardStreams::Err(std::string_view text) {
  (void)WriteBytes(stderr, text);
}

}  // namespace torv
