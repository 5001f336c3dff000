#include "archive/archive_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace torv {
namespace {

// Closes the descriptor on every path out of ReadArchiveFile.
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

std::optional<ArchiveFileContents> ReadArchiveContents(const std::string& path) {
  if (path.empty()) return std::nullopt;
  // O_NONBLOCK: opening a FIFO without a writer must not hang; the type check
  // below refuses it anyway. O_NOCTTY: a terminal named as archive must not
  // become our controlling terminal.
  FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (file.get() < 0) return std::nullopt;
  struct stat info {};
  if (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;

  std::uint8_t buffer[kArchiveFileSize];
  std::size_t filled = 0;
  while (filled < sizeof buffer) {
    const ssize_t got = ::read(file.get(), buffer + filled, sizeof buffer - filled);
    if (got < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    if (got == 0) break;  // a short file: the rest reads as zero
    filled += static_cast<std::size_t>(got);
  }
  return ArchiveFileContents{ImageFromBytes(buffer, filled),
                             static_cast<std::uint64_t>(info.st_size)};
}

std::optional<ArchiveImage> ReadArchiveFile(const std::string& path) {
  std::optional<ArchiveFileContents> contents = ReadArchiveContents(path);
  if (!contents) return std::nullopt;
  return contents->image;
}

}  // namespace torv
