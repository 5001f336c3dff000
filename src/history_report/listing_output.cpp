#include "history_report/listing_output.h"

#include "fileio/file_of_pieces.h"

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
  FileOfPieces file(to.file);
  const Status listed =
      format.writer(store, query, settings, [&](std::string_view piece) { file.Write(piece); });
  if (!listed) return {ListingFault::kReading, listed.failure()};
  if (Status committed = file.Commit(); !committed) {
    return {ListingFault::kWriting, committed.failure()};
  }
  return {};
}

}  // namespace torv
