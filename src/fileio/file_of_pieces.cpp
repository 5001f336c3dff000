#include "fileio/file_of_pieces.h"

namespace torv {

void FileOfPieces::Write(std::string_view piece) {
  if (failure_) return;
  if (!writer_) {
    Result<std::unique_ptr<AtomicFileWriter>> opened = AtomicFileWriter::Open(path_);
    if (!opened) {
      failure_ = opened.failure();
      return;
    }
    writer_ = std::move(*opened);
  }
  if (Status written = writer_->Write(piece); !written) failure_ = written.failure();
}

Status FileOfPieces::Commit() {
  if (!failure_) Write({});
  if (!failure_) {
    if (Status committed = writer_->Commit(); !committed) failure_ = committed.failure();
  }
  if (failure_) return *failure_;
  return {};
}

}  // namespace torv
