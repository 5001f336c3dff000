// How torvdoc-cli words the messages of the history commands; the wording
// they share with every command is in cli_messages.h.
#pragma once

#include <string>

#include "archive/result.h"
#include "cli/cli_messages.h"

namespace torv {

// The message of a file that `history import` could not import into the
// store `storeShown`: the archive's own message, or the store's reason.
std::string ImportFailureMessage(const std::string& path, const Failure& failure,
                                 const std::string& storeShown);

}  // namespace torv
