// Writing a file so that readers see either the old file or the whole new one.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "archive/result.h"

namespace torv {

// Writes `content` to a new temporary file (a short name in the same folder)
// and renames it over `path`. What the user set on an existing file stays:
// its permission bits (and its owner, where this process may set it), and a
// symbolic link stays a link: the file it leads to is replaced, in that
// file's own folder. An existing file that is read only (no write permission
// for anyone, or none for this process) is refused and left as it is. A
// device or pipe is written in place. On failure nothing at `path` changes,
// no temporary file is left, and the failure carries the errno of the step
// that failed.
Status WriteFileAtomically(const std::string& path, std::string_view content);

// WriteFileAtomically piece by piece, for content too large to hold: Open
// makes the temporary file (or opens a device in place), Write appends, and
// Commit gives it the name `path`. Destroyed before Commit succeeded, it
// removes the temporary file, and `path` stays as it was.
class AtomicFileWriter {
 public:
  static Result<std::unique_ptr<AtomicFileWriter>> Open(const std::string& path);
  ~AtomicFileWriter();
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

  Status Write(std::string_view piece);
  Status Commit();

 private:
  AtomicFileWriter(int fd, std::string temporary, std::string target)
      : fd_(fd), temporary_(std::move(temporary)), target_(std::move(target)) {}
  int fd_;
  std::string temporary_;  // empty: written in place
  std::string target_;
};

// The same for a file that must not exist yet: fails with EEXIST, leaving
// everything as it was, when `path` names anything (a file, a folder, a
// link), also when it appears while the content is being written.
Status WriteNewFileAtomically(const std::string& path, std::string_view content);

}  // namespace torv
