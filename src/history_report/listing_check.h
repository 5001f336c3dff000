// Whether the store still gives a listing made earlier (its digest on paper),
// and if not, from which journal entry on it changed: the journal is played
// again, copy by copy, into a scratch store by the same merge, and the
// listing's digest taken after each entry that concerns its devices.
#pragma once

#include <optional>
#include <string>

#include "archive/result.h"
#include "history/history_store.h"

namespace torv {

struct ListingCheck {
  std::string digest;  // what the store gives now
  bool matches = false;
  std::optional<history::JournalEntry> head;  // the journal's newest entry now
  // Where it does not match: the entry after which the listing was no
  // longer the one on paper, when the journal tells it.
  std::optional<history::JournalEntry> changedBy;
  // Where the journal does not tell it, why.
  std::string untold;
};

Result<ListingCheck> CheckListing(history::HistoryStore& store, const history::EventQuery& query,
                                  const std::string& digest);

// Whether `text` is a digest as listings print it: 64 hexadecimal digits.
bool IsListingDigest(std::string_view text);

}  // namespace torv
