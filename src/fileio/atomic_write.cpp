#include "fileio/atomic_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace torv {
namespace {

namespace fs = std::filesystem;

// As many links as the kernel follows before it gives up with ELOOP.
constexpr int kMaxLinkHops = 40;
// Short, so that a target whose name is as long as the file system allows
// still gets a temporary file beside it.
constexpr std::string_view kTemporaryName = ".torvdoc-XXXXXX";

// 0 when every byte was written, else the errno of the write that failed.
int WriteAll(int fd, std::string_view content) {
  while (!content.empty()) {
    const ssize_t written = ::write(fd, content.data(), content.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    content.remove_prefix(static_cast<std::size_t>(written));
  }
  return 0;
}

// The file that `path` finally names: symbolic links followed one by one,
// each relative link read against the folder of the link itself. A link whose
// end does not exist yet gives the name the file will be created under.
Result<fs::path> FollowLinks(const fs::path& path) {
  fs::path current = path;
  for (int hop = 0; hop < kMaxLinkHops; ++hop) {
    struct stat info;
    if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return current;
    std::error_code error;
    const fs::path next = fs::read_symlink(current, error);
    if (error) return SystemFailure(error.value());
    current = next.is_absolute() ? next : current.parent_path() / next;
  }
  return SystemFailure(ELOOP);
}

// A file that nobody may write, or that this process may not write, is read
// only: a save must not replace it behind the owner's back. Root passes the
// permission check, hence the test of the write bits themselves.
bool IsReadOnly(const fs::path& path, const struct stat& info) {
  return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
         ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0;
}

// The new file gets what the user set on the file it replaces: its owner
// where this process may set it, then its permission bits. A new file is an
// ordinary document; mkstemp alone would leave it readable by its owner only.
void TakeOwnerAndMode(int fd, const std::optional<struct stat>& replaced) {
  if (!replaced) {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    return;
  }
  struct stat own;
  if (::fstat(fd, &own) == 0 &&
      (own.st_uid != replaced->st_uid || own.st_gid != replaced->st_gid)) {
    // Only root may give a file away; anyone else keeps it as their own.
    [[maybe_unused]] const int ignored = ::fchown(fd, replaced->st_uid, replaced->st_gid);
  }
  ::fchmod(fd, replaced->st_mode & 07777);
}

// Makes a new temporary file beside `target`, with what the user set on the
// file it replaces: its descriptor and name.
Result<std::pair<int, std::string>> MakeTemporaryBeside(
    const fs::path& target, const std::optional<struct stat>& replaced) {
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  const std::string pattern = (folder / kTemporaryName).string();
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = ::mkstemp(name.data());
  if (fd < 0) return SystemFailure(errno);
  TakeOwnerAndMode(fd, replaced);
  return std::make_pair(fd, std::string(name.data()));
}

// 0, or the errno of the step that failed; the descriptor is closed either way.
int SyncAndClose(int fd) {
  int error = ::fsync(fd) != 0 ? errno : 0;
  if (::close(fd) != 0 && error == 0) error = errno;
  return error;
}

// Writes `content` to a new temporary file beside `target`, with what the
// user set on the file it replaces; its name, or the failure with nothing
// left behind.
Result<std::string> WriteTemporaryBeside(const fs::path& target, std::string_view content,
                                         const std::optional<struct stat>& replaced) {
  Result<std::pair<int, std::string>> made = MakeTemporaryBeside(target, replaced);
  if (!made) return made.failure();
  const auto& [fd, name] = *made;
  int error = WriteAll(fd, content);
  if (error != 0) {
    ::close(fd);
  } else {
    error = SyncAndClose(fd);
  }
  if (error != 0) {
    ::unlink(name.c_str());
    return SystemFailure(error);
  }
  return name;
}

// Gives the written temporary file the name `target`, failing with EEXIST
// when anything has that name by then. A file system that cannot rename
// without replacing gets a hard link instead, which fails the same way.
int PublishWithoutReplacing(const std::string& temporary, const fs::path& target) {
  if (::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) {
    return 0;
  }
  if (errno != EINVAL && errno != ENOSYS) return errno;
  if (::link(temporary.c_str(), target.c_str()) != 0) return errno;
  ::unlink(temporary.c_str());
  return 0;
}

}  // namespace

Result<std::unique_ptr<AtomicFileWriter>> AtomicFileWriter::Open(const std::string& path) {
  const fs::path named(path);
  // A name ending in "/" names a folder, never a file to write.
  if (named.filename().empty()) return SystemFailure(EISDIR);

  // What the links lead to is what is checked, and what is replaced.
  const Result<fs::path> target = FollowLinks(named);
  if (!target) return target.failure();
  std::optional<struct stat> replaced;
  struct stat info;
  if (::stat(target->c_str(), &info) == 0) {
    if (S_ISDIR(info.st_mode)) return SystemFailure(EISDIR);
    if (!S_ISREG(info.st_mode)) {
      // A device, a pipe or a socket is written as it is: renaming a file
      // over /dev/null would replace the device itself.
      const int fd = ::open(target->c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
      if (fd < 0) return SystemFailure(errno);
      return std::unique_ptr<AtomicFileWriter>(new AtomicFileWriter(fd, {}, target->string()));
    }
    if (IsReadOnly(*target, info)) return SystemFailure(EACCES);
    replaced = info;
  }
  Result<std::pair<int, std::string>> made = MakeTemporaryBeside(*target, replaced);
  if (!made) return made.failure();
  return std::unique_ptr<AtomicFileWriter>(
      new AtomicFileWriter(made->first, std::move(made->second), target->string()));
}

AtomicFileWriter::~AtomicFileWriter() {
  if (fd_ >= 0) ::close(fd_);
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
}

Status AtomicFileWriter::Write(std::string_view piece) {
  if (fd_ < 0) return SystemFailure(EBADF);
  if (const int error = WriteAll(fd_, piece); error != 0) return SystemFailure(error);
  return {};
}

Status AtomicFileWriter::Commit() {
  if (fd_ < 0) return SystemFailure(EBADF);
  const int fd = fd_;
  fd_ = -1;
  if (temporary_.empty()) {
    if (::close(fd) != 0) return SystemFailure(errno);
    return {};
  }
  if (const int error = SyncAndClose(fd); error != 0) return SystemFailure(error);
  if (std::rename(temporary_.c_str(), target_.c_str()) != 0) return SystemFailure(errno);
  temporary_.clear();
  return {};
}

Status WriteFileAtomically(const std::string& path, std::string_view content) {
  Result<std::unique_ptr<AtomicFileWriter>> writer = AtomicFileWriter::Open(path);
  if (!writer) return writer.failure();
  if (Status written = (*writer)->Write(content); !written) return written;
  return (*writer)->Commit();
}

Status WriteNewFileAtomically(const std::string& path, std::string_view content) {
  const fs::path named(path);
  if (named.filename().empty()) return SystemFailure(EISDIR);
  // A link, even one that leads nowhere, is something that exists.
  struct stat info;
  if (::lstat(path.c_str(), &info) == 0) return SystemFailure(EEXIST);

  const Result<std::string> temporary = WriteTemporaryBeside(named, content, std::nullopt);
  if (!temporary) return temporary.failure();
  if (const int error = PublishWithoutReplacing(*temporary, named); error != 0) {
    ::unlink(temporary->c_str());
    return SystemFailure(error);
  }
  return {};
}

}  // namespace torv
