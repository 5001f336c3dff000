#include "history_ui/store_session.h"

#include <filesystem>
#include <system_error>

namespace torv {

bool IsStoreNotMadeYet(const history::StoreLocation& location) {
  std::error_code error;
  return location.kind == history::StoreKind::kSqlite &&
         !std::filesystem::exists(location.target, error) && !error;
}

Status StoreSession::Open(const history::StoreLocation& location) {
  Close();
  location_ = location;
  hasLocation_ = true;
  if (IsStoreNotMadeYet(location)) return {};
  Result<std::unique_ptr<history::HistoryStore>> store =
      history::OpenHistoryStore(location, history::OpenMode::kRead);
  if (!store) return store.failure();
  reader_ = std::move(*store);
  return {};
}

void StoreSession::Close() {
  reader_.reset();
  writer_.reset();
  hasLocation_ = false;
}

history::HistoryStore* StoreSession::Reader() const {
  // Once open for writing, that connection reads as well: it may be the only
  // one when the store was made by this window.
  if (writer_) return writer_.get();
  return reader_.get();
}

Result<history::HistoryStore*> StoreSession::Writer() {
  if (writer_) return writer_.get();
  if (!hasLocation_) return Failure{"no history store is chosen"};
  Result<std::unique_ptr<history::HistoryStore>> store =
      history::OpenHistoryStore(location_, history::OpenMode::kWrite);
  if (!store) return store.failure();
  writer_ = std::move(*store);
  return writer_.get();
}

}  // namespace torv
