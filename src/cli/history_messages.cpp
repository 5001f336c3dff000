#include "cli/history_messages.h"

#include "archive/view_messages.h"

namespace torv {

std::string ImportFailureMessage(const std::string& path, const Failure& failure,
                                 const std::string& storeShown) {
  if (failure.reason == kCannotOpenMessage || failure.reason == kDamagedArchiveMessage) {
    return CliMessage(path, ArchiveFailureText(path, failure));
  }
  return CliMessage(path, "cannot import into " + storeShown + ": " + failure.reason);
}

}  // namespace torv
