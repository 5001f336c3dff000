// The store the history window works on: read through one connection, and
// written (imports, names) through a connection opened for writing when
// first needed. An SQLite file that does not exist yet is not a failure: it
// is made by the first import.
#pragma once

#include <memory>

#include "archive/result.h"
#include "history/history_store.h"
#include "history/store_location.h"

namespace torv {

class StoreSession {
 public:
  // Opens `location` for reading; the store before is closed either way.
  Status Open(const history::StoreLocation& location);
  void Close();

  const history::StoreLocation& Location() const { return location_; }
  bool HasLocation() const { return hasLocation_; }
  // The store to read; none while it does not exist yet or failed to open.
  history::HistoryStore* Reader() const;
  // The store to write, opened (and made when missing) on first use.
  Result<history::HistoryStore*> Writer();

 private:
  history::StoreLocation location_;
  bool hasLocation_ = false;
  std::unique_ptr<history::HistoryStore> reader_;
  std::unique_ptr<history::HistoryStore> writer_;
};

// True when `location` is an SQLite file that does not exist yet.
bool IsStoreNotMadeYet(const history::StoreLocation& location);

}  // namespace torv
