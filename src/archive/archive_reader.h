// Reading an archive file from disk.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "archive/archive_format.h"
#include "archive/result.h"

namespace torv {

// The file as read, with its size as the file system gives it.
struct ArchiveFileContents {
  ArchiveImage image;
  std::uint64_t fileSize = 0;
  // Seconds since the epoch of the file's last change, from the same open
  // file the bytes came from (the history dates a copy by it).
  std::int64_t modifiedUnixSeconds = 0;
};

// Reads the first 8196 bytes of the regular file `path`. The file is opened
// for reading only and never written; a read-only archive reads normally.
// A missing, unreadable or not regular file (a folder, a pipe or a device is
// refused at once, without blocking) fails with the reason.
Result<ArchiveFileContents> ReadArchiveContents(const std::string& path);
Result<ArchiveImage> ReadArchiveFile(const std::string& path);

// The kinds of failure a face words apart. Every one but
// kNotRegularFile carries the errno behind it.
enum class ArchiveReadProblem {
  kNoSuchFile,        // ENOENT: the path leads nowhere
  kPermissionDenied,  // EACCES, EPERM
  kFolder,            // EISDIR: the path names a folder
  kNotRegularFile,    // a pipe, a device, a socket
  kOther,             // any other system error
};
ArchiveReadProblem ArchiveReadProblemOf(const Failure& failure);

// The reason of kNotRegularFile.
inline constexpr std::string_view kNotRegularFileReason = "not a regular file";

}  // namespace torv
