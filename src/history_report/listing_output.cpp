#include "history_report/listing_output.h"

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
  std::string content;
  const Status listed =
      format.writer(store, query, settings, [&](std::string_view piece) { content += piece; });
  if (!listed) return {ListingFault::kReading, listed.failure()};
  if (const Status written = WriteFileAtomically(to.file, content); !written) {
    return {ListingFault::kWriting, written.failure()};
  }
  return {};
}

}  // namespace torv
