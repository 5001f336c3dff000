// Reading an archive file from disk.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "archive/archive_format.h"

namespace torv {

// Reads the first 8196 bytes of the regular file `path`. The file is opened
// for reading only and never written; a read-only archive reads normally.
// Returns nothing when the file is missing, unreadable or not a regular file
// (a folder, a pipe or a device is refused at once, without blocking).
std::optional<ArchiveImage> ReadArchiveFile(const std::string& path);

// The same reading, with the file's size as the file system gives it.
struct ArchiveFileContents {
  ArchiveImage image;
  std::uint64_t fileSize = 0;
};
std::optional<ArchiveFileContents> ReadArchiveContents(const std::string& path);

}  // namespace torv
