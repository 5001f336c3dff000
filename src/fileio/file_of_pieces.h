// A file written as its content is made, for content too large to hold:
// replaced whole or not at all, by the rules of AtomicFileWriter.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "archive/result.h"
#include "fileio/atomic_write.h"

namespace torv {

// The temporary file is made at the first piece, so that content that fails
// before its first byte leaves nothing behind. After a failed write the
// further pieces are dropped and Commit gives that failure. Destroyed
// before Commit succeeded, it leaves `path` as it was and no temporary file.
class FileOfPieces {
 public:
  explicit FileOfPieces(std::string path) : path_(std::move(path)) {}

  void Write(std::string_view piece);
  // Gives the content the name `path` (an empty file when no piece came).
  Status Commit();

 private:
  std::string path_;
  std::unique_ptr<AtomicFileWriter> writer_;
  std::optional<Failure> failure_;
};

}  // namespace torv
