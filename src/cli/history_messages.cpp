#include "cli/history_messages.h"

#include "history/archive_copy.h"

namespace torv {

std::string ImportFailureMessage(const std::string& path, const Failure& failure,
                                 const std::string& storeShown) {
  if (history::IsArchiveFileFailure(failure)) {
    return CliMessage(path, ArchiveFailureText(path, failure));
  }
  return CliMessage(path, "cannot import into " + storeShown + ": " + failure.reason);
}

}  // namespace torv
