#include "ui/archive_name_rule.h"

namespace torv {

std::string ArchiveFileExtension(std::string_view fileName) {
  // "\" and ":" end a folder or drive on the device's home platform; "/" is
  // ours. All of them stop the search for the dot.
  const std::size_t last = fileName.find_last_of("./\\:");
  if (last == std::string_view::npos || fileName[last] != '.') return {};
  return std::string(fileName.substr(last));
}

ArchiveNameChoice ApplyArchiveNameRule(std::string_view returnedName) {
  ArchiveNameChoice choice;
  choice.fileName = std::string(returnedName);
  choice.extension = ArchiveFileExtension(returnedName);
  if (choice.extension == kArchiveExtension) {
    choice.verdict = ArchiveNameVerdict::kAccepted;
  } else if (choice.extension.empty()) {
    choice.fileName += kArchiveExtension;
    choice.verdict = ArchiveNameVerdict::kAppended;
  } else {
    choice.verdict = ArchiveNameVerdict::kRejected;
  }
  return choice;
}

}  // namespace torv
