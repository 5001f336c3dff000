#include "cli/history_messages.h"

#include <cerrno>
#include <filesystem>

#include "archive/view_messages.h"
#include "cli/cli_usage.h"

namespace torv {
namespace {

// The reason an archive could not be opened, in the window's language.
std::string_view OpenReason(const std::string& path, int errorNumber) {
  switch (errorNumber) {
    case ENOENT:
      return "нет такого файла";
    case EACCES:
    case EPERM:
      return "нет доступа";
    case EISDIR:
      return "это папка";
    case 0:
      break;
    default:
      return {};
  }
  // The reader refuses a pipe, a device or a socket without an errno.
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(path, error);
  if (!error && std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
    return "не обычный файл";
  }
  return {};
}

}  // namespace

std::string CliMessage(std::string_view subject, std::string_view reason) {
  std::string message(kProgramName);
  message += ": ";
  if (!subject.empty()) {
    message += subject;
    message += ": ";
  }
  message += reason;
  return message + "\n";
}

std::string ArchiveFailureText(const std::string& path, const Failure& failure) {
  if (failure.reason != kCannotOpenMessage) return failure.reason;
  const std::string_view reason = OpenReason(path, failure.errorNumber);
  if (reason.empty()) return failure.reason;
  return failure.reason + " (" + std::string(reason) + ")";
}

std::string ImportFailureMessage(const std::string& path, const Failure& failure,
                                 const std::string& storeShown) {
  if (failure.reason == kCannotOpenMessage || failure.reason == kDamagedArchiveMessage) {
    return CliMessage(path, ArchiveFailureText(path, failure));
  }
  return CliMessage(path, "cannot import into " + storeShown + ": " + failure.reason);
}

std::string CannotWriteMessage(const std::string& path, const Failure& failure) {
  return CliMessage(path, "cannot write: " + failure.reason);
}

}  // namespace torv
