#include "cli/cli_messages.h"

#include <filesystem>
#include <system_error>

#include "archive/archive_format.h"
#include "archive/archive_reader.h"
#include "archive/view_messages.h"

namespace torv {
namespace {

constexpr std::string_view kTooShortReason = "файл короче архива";
constexpr auto kArchiveBytes = static_cast<std::uint64_t>(kArchiveFileSize);

std::string_view ReasonOf(ArchiveReadProblem problem) {
  switch (problem) {
    case ArchiveReadProblem::kNoSuchFile:
      return "нет такого файла";
    case ArchiveReadProblem::kPermissionDenied:
      return "нет доступа";
    case ArchiveReadProblem::kFolder:
      return "это папка";
    case ArchiveReadProblem::kNotRegularFile:
      return "не обычный файл";
    case ArchiveReadProblem::kOther:
      break;
  }
  return {};
}

std::string WithReason(std::string_view message, std::string_view reason) {
  if (reason.empty()) return std::string(message);
  return std::string(message) + " (" + std::string(reason) + ")";
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

std::string ArchiveReadReason(const Failure& failure) {
  return std::string(ReasonOf(ArchiveReadProblemOf(failure)));
}

std::string CannotOpenArchiveMessage(std::string_view file, const Failure& failure) {
  return CliMessage(file, WithReason(kCannotOpenMessage, ArchiveReadReason(failure)));
}

std::string ArchiveFailureText(const std::string& path, const Failure& failure) {
  if (failure.reason != kCannotOpenMessage) return failure.reason;
  ArchiveReadProblem problem = ArchiveReadProblemOf(SystemFailure(failure.errorNumber));
  if (failure.errorNumber == 0) {
    // The reader refuses a pipe, a device or a socket without an errno.
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    const bool notRegular =
        !error && std::filesystem::exists(status) && !std::filesystem::is_regular_file(status);
    problem = notRegular ? ArchiveReadProblem::kNotRegularFile : ArchiveReadProblem::kOther;
  }
  return WithReason(failure.reason, ReasonOf(problem));
}

std::string ArchiveViewMessage(std::string_view file, std::string_view message,
                               std::uint64_t fileSize) {
  const bool cutOff = message == kDamagedArchiveMessage && fileSize < kArchiveBytes;
  return CliMessage(file, WithReason(message, cutOff ? kTooShortReason : ""));
}

std::string ArchiveSizeWarning(std::string_view file, std::uint64_t fileSize) {
  const std::string size = std::to_string(fileSize) + " bytes, ";
  const std::string archive = " than an archive (" + std::to_string(kArchiveFileSize) + "); ";
  if (fileSize < kArchiveBytes) {
    return CliMessage(file, "warning: " + size + "shorter" + archive + "the rest reads as zero");
  }
  if (fileSize > kArchiveBytes) {
    return CliMessage(file,
                      "warning: " + size + "longer" + archive + "the bytes after it are ignored");
  }
  return {};
}

std::string CannotWriteMessage(std::string_view file, const Failure& failure) {
  return CliMessage(file, "cannot write: " + failure.reason);
}

std::string UsageErrorMessage(std::string_view problem, std::string_view command) {
  const std::string help =
      std::string(kProgramName) + (command.empty() ? "" : " " + std::string(command)) + " --help";
  return CliMessage({}, problem) + "Try '" + help + "'.\n";
}

}  // namespace torv
