#include "history_report/listing_output.h"

#include <memory>
#include <optional>

#include "fileio/atomic_write.h"

namespace torv {

ListingWritten WriteListing(const ListingFormat& format, history::HistoryStore& store,
                            const history::EventQuery& query, const ListingSettings& settings,
                            const ListingDestination& to) {
  if (to.file.empty()) {
    const Status listed = format.writer(store, query, settings, to.stream);
    if (!listed) return {ListingFault::kReading, listed.failure()};
    return {};
  }
  // A listing written over the store would destroy the very history it lists.
  if (to.store != nullptr && history::IsPartOfStore(to.file, *to.store)) {
    return {ListingFault::kStoreFile, {}};
  }
  // The listing goes to the file as it is made: a whole store never sits in
  // memory. The file is made at the first piece, so that a store that fails
  // at once leaves nothing behind; it takes the file's name only at the end.
  std::unique_ptr<AtomicFileWriter> writer;
  std::optional<Failure> writeFailure;
  const auto write = [&](std::string_view piece) {
    if (writeFailure) return;
    if (!writer) {
      Result<std::unique_ptr<AtomicFileWriter>> opened = AtomicFileWriter::Open(to.file);
      if (!opened) {
        writeFailure = opened.failure();
        return;
      }
      writer = std::move(*opened);
    }
    if (Status written = writer->Write(piece); !written) writeFailure = written.failure();
  };
  const Status listed = format.writer(store, query, settings, write);
  if (!listed) return {ListingFault::kReading, listed.failure()};
  if (!writeFailure) write({});
  if (!writeFailure) {
    if (Status committed = writer->Commit(); !committed) writeFailure = committed.failure();
  }
  if (writeFailure) return {ListingFault::kWriting, *writeFailure};
  return {};
}

}  // namespace torv
