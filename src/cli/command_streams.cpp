#include "cli/command_streams.h"

#include <cstdio>

#include "cli/cli_output.h"

namespace torv {

bool StandardStreams::Out(std::string_view bytes) {
  if (!outFailed_ && !WriteBytes(stdout, bytes)) outFailed_ = true;
  return !outFailed_;
}

void StandardStreams::Err(std::string_view text) {
  (void)WriteBytes(stderr, text);
}

}  // namespace torv
