#include "history/history_store.h"

#include "history/postgres_module.h"
#include "history/sql_history_store.h"
#include "history/sqlite_claim.h"
#include "history/sqlite_connection.h"
#include "history/store_schema.h"

namespace torv::history {

Result<std::unique_ptr<HistoryStore>> OpenHistoryStore(const StoreLocation& location,
                                                       OpenMode mode) {
  const auto named = [&location](const Failure& failure) {
    return Failure{location.shown + ": " + failure.reason, failure.errorNumber};
  };
  Result<std::unique_ptr<SqlConnection>> connection =
      location.kind == StoreKind::kSqlite ? OpenSqlite(location.target, mode)
                                          : OpenPostgresThroughModule(location.target);
  if (!connection) return named(connection.failure());
  if (location.kind == StoreKind::kSqlite) {
    if (Status ours = ClaimSqliteStore(**connection, location.target, mode); !ours) {
      return named(ours.failure());
    }
  }
  if (Status schema = PrepareSchema(**connection, mode); !schema) {
    return named(schema.failure());
  }
  return std::unique_ptr<HistoryStore>(std::make_unique<SqlHistoryStore>(std::move(*connection)));
}

Result<std::vector<KeptCopy>> CopiesListed(HistoryStore& store, const EventQuery& query) {
  Result<std::vector<KeptCopy>> copies = store.Copies(OnlyDevice(query));
  if (copies && query.devices.size() > 1) {
    std::erase_if(*copies, [&](const KeptCopy& copy) { return !ListsDevice(query, copy.device); });
  }
  return copies;
}

}  // namespace torv::history
