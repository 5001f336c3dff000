#include "archive/archive_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace torv {
namespace {

// Closes the descriptor on every path out of ReadArchiveContents.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

Result<ArchiveFileContents> ReadArchiveContents(const std::string& path) {
  // O_NONBLOCK: opening a FIFO without a writer must not hang; the type check
  // below refuses it anyway. O_NOCTTY: a terminal named as archive must not
  // become our controlling terminal.
  FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (file.get() < 0) return SystemFailure(errno);
  struct stat info {};
  if (::fstat(file.get(), &info) != 0) return SystemFailure(errno);
  if (S_ISDIR(info.st_mode)) return SystemFailure(EISDIR);
  if (!S_ISREG(info.st_mode)) return Failure{std::string(kNotRegularFileReason), 0};

  std::uint8_t buffer[kArchiveFileSize];
  std::size_t filled = 0;
  while (filled < sizeof buffer) {
    const ssize_t got = ::read(file.get(), buffer + filled, sizeof buffer - filled);
    if (got < 0) {
      if (errno == EINTR) continue;
      return SystemFailure(errno);
    }
    if (got == 0) break;  // a short file: the rest reads as zero
    filled += static_cast<std::size_t>(got);
  }
  return ArchiveFileContents{ImageFromBytes(buffer, filled),
                             static_cast<std::uint64_t>(info.st_size),
                             static_cast<std::int64_t>(info.st_mtime)};
}

Result<ArchiveImage> ReadArchiveFile(const std::string& path) {
  Result<ArchiveFileContents> contents = ReadArchiveContents(path);
  if (!contents) return contents.failure();
  return contents->image;
}

ArchiveReadProblem ArchiveReadProblemOf(const Failure& failure) {
  switch (failure.errorNumber) {
    case ENOENT:
      return ArchiveReadProblem::kNoSuchFile;
    case EACCES:
    case EPERM:
      return ArchiveReadProblem::kPermissionDenied;
    case EISDIR:
      return ArchiveReadProblem::kFolder;
    case 0:
      if (failure.reason == kNotRegularFileReason) return ArchiveReadProblem::kNotRegularFile;
      break;
    default:
      break;
  }
  return ArchiveReadProblem::kOther;
}

}  // namespace torv
