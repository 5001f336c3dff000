#include "cli/cli_messages.h"

#include "archive/archive_format.h"
#include "archive/archive_reader.h"
#include "archive/view_messages.h"

namespace torv {
namespace {

constexpr std::string_view kTooShortReason = "файл короче архива";
constexpr auto kArchiveBytes = static_cast<std::uint64_t>(kArchiveFileSize);

std::string WithReason(std::string_view message, std::string_view reason) {
  return std::string(message) + " (" + std::string(reason) + ")";
}

}  // namespace

std::string ToolMessage(std::string_view text) {
  return std::string(kProgramName) + ": " + std::string(text) + "\n";
}

std::string FileMessage(std::string_view file, std::string_view text) {
  return ToolMessage(std::string(file) + ": " + std::string(text));
}

std::string ArchiveReadReason(const Failure& failure) {
  switch (ArchiveReadProblemOf(failure)) {
    case ArchiveReadProblem::kNoSuchFile:
      return "нет такого файла";
    case ArchiveReadProblem::kPermissionDenied:
      return "нет прав на чтение";
    case ArchiveReadProblem::kFolder:
      return "это папка";
    case ArchiveReadProblem::kNotRegularFile:
      return "не обычный файл";
    case ArchiveReadProblem::kOther:
      break;
  }
  return "ошибка чтения: " + failure.reason;
}

std::string CannotOpenArchiveMessage(std::string_view file, const Failure& failure) {
  return FileMessage(file, WithReason(kCannotOpenMessage, ArchiveReadReason(failure)));
}

std::string ArchiveViewMessage(std::string_view file, std::string_view message,
                               std::uint64_t fileSize) {
  if (message == kDamagedArchiveMessage && fileSize < kArchiveBytes) {
    return FileMessage(file, WithReason(message, kTooShortReason));
  }
  return FileMessage(file, message);
}

std::string ArchiveSizeWarning(std::string_view file, std::uint64_t fileSize) {
  const std::string size = std::to_string(fileSize) + " bytes, ";
  const std::string archive = " than an archive (" + std::to_string(kArchiveFileSize) + "); ";
  if (fileSize < kArchiveBytes) {
    return FileMessage(file, "warning: " + size + "shorter" + archive + "the rest reads as zero");
  }
  if (fileSize > kArchiveBytes) {
    return FileMessage(file,
                       "warning: " + size + "longer" + archive + "the bytes after it are ignored");
  }
  return {};
}

std::string CannotWriteMessage(std::string_view file, const Failure& failure) {
  return FileMessage(file, "cannot write: " + failure.reason);
}

std::string UsageErrorMessage(std::string_view problem, std::string_view command) {
  const std::string help =
      std::string(kProgramName) + (command.empty() ? "" : " " + std::string(command)) + " --help";
  return ToolMessage(problem) + "Try '" + help + "'.\n";
}

}  // namespace torv
