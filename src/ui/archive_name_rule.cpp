#include "ui/archive_name_rule.h"

#include "archive/file_name_rule.h"

namespace torv {

ArchiveNameChoice ApplyArchiveNameRule(std::string_view returnedName) {
  ArchiveNameChoice choice;
  choice.fileName = std::string(returnedName);
  choice.extension = std::string(FileNameExtension(returnedName));
  switch (JudgeFileName(returnedName, kArchiveExtension)) {
    case FileNameVerdict::kAccept:
      choice.verdict = ArchiveNameVerdict::kAccepted;
      break;
    case FileNameVerdict::kAppendExtension:
      choice.fileName += kArchiveExtension;
      choice.verdict = ArchiveNameVerdict::kAppended;
      break;
    case FileNameVerdict::kReject:
      choice.verdict = ArchiveNameVerdict::kRejected;
      break;
  }
  return choice;
}

}  // namespace torv
