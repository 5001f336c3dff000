#include "cli/archive_input.h"

#include <unistd.h>

#include <filesystem>
#include <system_error>

namespace torv {
namespace {

// Symbolic links are kept as the user named them.
std::string AbsoluteArchiveName(const std::string& path) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  return error ? path : absolute.string();
}

}  // namespace

Result<ArchiveInput> ReadArchiveInput(const std::string& path) {
  if (path == kStandardStream) {
    Result<ArchiveFileContents> contents = ReadArchiveStream(STDIN_FILENO);
    if (!contents) return contents.failure();
    return ArchiveInput{path, std::move(*contents)};
  }
  const std::string shownName = AbsoluteArchiveName(path);
  Result<ArchiveFileContents> contents = ReadArchiveContents(shownName);
  if (!contents) return contents.failure();
  return ArchiveInput{shownName, std::move(*contents)};
}

}  // namespace torv
