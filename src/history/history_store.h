// The history store: one interface over the embedded SQLite file and the
// PostgreSQL server of a site. Every change is one transaction; imports of
// the same device are serialised inside the database, so several processes
// or workstations may import at once.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "archive/result.h"
#include "history/event_counts.h"
#include "history/history_model.h"
#include "history/sql_connection.h"
#include "history/store_location.h"

namespace torv::history {

class HistoryStore {
 public:
  virtual ~HistoryStore() = default;

  // Merges one copy into the history of `device` (created on its first copy).
  virtual Result<ImportOutcome> Import(const std::string& device, const ArchiveCopy& copy) = 0;
  // Merges several copies, in their order, in one transaction: all of them
  // are stored, or none. One outcome per copy.
  virtual Result<std::vector<ImportOutcome>> ImportAll(const std::string& device,
                                                       const std::vector<ArchiveCopy>& copies) = 0;

  // Names of inputs and relays; a later name of the same one replaces the
  // earlier, and an empty one removes it. All of `entries` are stored, or none.
  virtual Status SetNames(const std::vector<NameEntry>& entries) = 0;
  // Every name, by device, kind ("input" before "relay") and number.
  virtual Result<std::vector<NameEntry>> Names() = 0;

  // One summary per device, by name: of every device, or of those `only`
  // names. Without `damaged` its damaged events are not counted, which reads
  // every event.
  virtual Result<std::vector<DeviceSummary>> Devices(const std::vector<std::string>& only = {},
                                                     bool damaged = true) = 0;

  // Every event the query lets through, device by device (by name), each
  // device's history oldest first (newest first when asked).
  virtual Status ForEachEvent(const EventQuery& query,
                              const std::function<void(const StoredEvent&)>& sink) = 0;
  virtual Result<std::int64_t> Count(const EventQuery& query) = 0;

  // The parts of the listing ForEachEvent gives, in its order, each with at
  // least one event.
  virtual Result<std::vector<ListingPart>> Parts(const EventQuery& query) = 0;
  // Up to `limit` events of `part` (as Parts gave it for the same query), in
  // listing order, after its first `skip`; gapBefore is left unset. Near
  // either end of a long part only that end is read. A part whose stretch
  // has since been joined to another by an import gives no events.
  virtual Result<std::vector<StoredEvent>> PartEvents(const EventQuery& query,
                                                      const ListingPart& part, std::int64_t skip,
                                                      int limit) = 0;

  // The events the query lets through, counted by the store itself: device
  // by device (by name), in no particular order within a device.
  virtual Result<std::vector<CountedEvents>> Counts(const EventQuery& query,
                                                    CountGrouping grouping) = 0;
  // The copies kept, oldest import first: of `device`, or of every device.
  virtual Result<std::vector<KeptCopy>> Copies(const std::optional<std::string>& device) = 0;
  // The bytes of copy `id` exactly as they were imported. Fails for an
  // unknown copy and for one kept without its bytes.
  virtual Result<std::vector<std::uint8_t>> CopyBytes(std::int64_t id) = 0;
  // Takes the copies out of the history: every device they belong to is
  // rebuilt from its remaining copies by the same merge, as if it had never
  // seen them. The copies stay listed, marked withdrawn, and may be
  // imported again. One transaction, with a journal entry per copy.
  virtual Result<std::vector<RebuiltDevice>> Withdraw(const std::vector<std::int64_t>& ids,
                                                      const std::string& reason) = 0;
  // Renames a device; `to` must not name another device. One transaction,
  // journalled.
  virtual Status RenameDevice(const std::string& from, const std::string& to,
                              const std::string& reason) = 0;
  // Removes a device with its events, copies and names. One transaction,
  // journalled (the journal keeps what was removed, counted).
  virtual Status RemoveDevice(const std::string& name, const std::string& reason) = 0;
  // The journal, oldest entry first.
  virtual Result<std::vector<JournalEntry>> Journal() = 0;
  // Its newest entry, which a listing names as the state it was made from.
  virtual Result<std::optional<JournalEntry>> JournalHead() = 0;
  // Re-hashes every kept copy, merges each device (or each of `devices`) again from
  // its copies and compares that with its stored events, and checks the
  // journal's chain. Changes nothing.
  virtual Result<Verification> Verify(const std::vector<std::string>& devices) = 0;
  // The database's own check of what it holds: what was checked, or the
  // first problem as a failure.
  virtual Result<std::string> CheckDatabase() = 0;
  // A copy of the whole store, as of one moment, in the new file
  // `destination`; SQLite only (a server has pg_dump).
  virtual Status Backup(const std::string& destination) = 0;

  // Every gap of the devices the query lists (its device, or all), device by
  // device, oldest first; the query's other filters do not matter.
  virtual Result<std::vector<HistoryHole>> Holes(const EventQuery& query) = 0;
};

// The copies kept of the devices the query lists, oldest import first.
Result<std::vector<KeptCopy>> CopiesListed(HistoryStore& store, const EventQuery& query);

// The newest store layout this program knows.
inline constexpr int kStoreVersion = 5;

// Opens (for kWrite: creates when missing, with its folder) the store and
// brings an older layout up to date. A store of a newer layout is refused
// and left as it is. A failure's reason names the store (no password).
Result<std::unique_ptr<HistoryStore>> OpenHistoryStore(const StoreLocation& location,
                                                       OpenMode mode);

}  // namespace torv::history
