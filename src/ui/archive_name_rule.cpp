#include "ui/archive_name_rule.h"

namespace torv {

std::string ArchiveFileExtension(std::string_view fileName) {
  // "/" is the only folder separator here; backslash and ":" are ordinary
  // name characters, so "a.b\c" has the extension ".b\c".
  const std::size_t last = fileName.find_last_of("./");
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
