// Where a history listing goes, for the command line and the window alike:
// a file, replaced whole or not at all, or a stream that takes it piece by
// piece. Never the history store's own files.
#pragma once

#include <string>

#include "archive/result.h"
#include "history/store_location.h"
#include "history_report/listing_formats.h"

namespace torv {

struct ListingDestination {
  std::string file;  // empty: `stream`
  TextSink stream;   // standard output, so that a whole store never sits in memory
  // The store listed, when known: a file that is part of it is refused.
  const history::StoreLocation* store = nullptr;
};

// Why a listing was not written; the caller words it for its face.
enum class ListingFault {
  kNone,
  kStoreFile,  // the file is the store, or a file SQLite keeps beside it
  kReading,    // the store (or the printed report) failed; nothing was written
  kWriting,    // the file could not be written; it is as it was
};

struct ListingWritten {
  ListingFault fault = ListingFault::kNone;
  Failure failure;  // for kReading and kWriting
  explicit operator bool() const { return fault == ListingFault::kNone; }
};

ListingWritten WriteListing(const ListingFormat& format, history::HistoryStore& store,
                            const history::EventQuery& query, const ListingSettings& settings,
                            const ListingDestination& to);

}  // namespace torv
