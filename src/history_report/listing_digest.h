// What makes a listing checkable on paper: the SHA-256 of its canonical form
// and the journal entry the store had reached when it was made. `history
// verify --listing` takes the same query again and compares.
//
// The canonical form, in UTF-8, each line ending in "\n":
//   "torvdoc listing 1"
//   the listing's QueryLines (device or devices, period, filters)
//   per event row, in listing order: "E", TAB, the device, TAB, the year or
//     "-", TAB, the record's 8 bytes as 16 lowercase hexadecimal digits
//   per gap row: "G", TAB, the device, TAB, the last stored moment before the
//     hole next to it and the first after (YYYY-MM-DDTHH:MM:SS, "-" where
//     not known), TAB between
// Names of inputs and relays are the operator's labels, and the copies' file
// names are where the events came from: neither is part of it.
#pragma once

#include <optional>
#include <string>

#include "archive/result.h"
#include "history/history_store.h"
#include "history/sha256_stream.h"
#include "history_report/event_list.h"

namespace torv {

class ListingDigest {
 public:
  explicit ListingDigest(const history::EventQuery& query);
  void Add(const ListedRow& row);
  // 64 lowercase hexadecimal digits.
  std::string Hex();

 private:
  history::Sha256Stream sha_;
  std::string line_;
};

// The digest of what `query` lists in the store now.
Result<std::string> DigestOfListing(history::HistoryStore& store, const history::EventQuery& query);

// "Контрольная сумма выборки (SHA-256): HEX".
std::string DigestLine(const std::string& digest);
// "Журнал: запись N, HASH", or "Журнал: пуст".
std::string JournalLine(const std::optional<history::JournalEntry>& head);
// The footer's short form: "выборка 1a2b3c4d5e6f, журнал: запись N".
std::string ShortStamp(const std::string& digest, const std::optional<history::JournalEntry>& head);

}  // namespace torv
