// The one store implementation over SqlConnection: SQLite and PostgreSQL
// differ only in their connection, which also spells the schema's words.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "history/event_snapshot.h"
#include "history/history_store.h"
#include "history/journal.h"
#include "history/memory_merge.h"
#include "history/merge.h"
#include "history/rebuild_writes.h"
#include "history/sql_connection.h"

namespace torv::history {

class SqlHistoryStore final : public HistoryStore {
 public:
  explicit SqlHistoryStore(std::unique_ptr<SqlConnection> db) : db_(std::move(db)) {}

  Result<ImportOutcome> Import(const std::string& device, const ArchiveCopy& copy) override;
  Result<std::vector<ImportOutcome>> ImportAll(const std::string& device,
                                               const std::vector<ArchiveCopy>& copies) override;
  Status SetNames(const std::vector<NameEntry>& entries) override;
  Result<std::vector<NameEntry>> Names() override;
  Result<std::vector<DeviceSummary>> Devices(const std::vector<std::string>& only = {},
                                             bool damaged = true) override;
  Status ForEachEvent(const EventQuery& query,
                      const std::function<void(const StoredEvent&)>& sink) override;
  Result<std::int64_t> Count(const EventQuery& query) override;
  Result<std::vector<ListingPart>> Parts(const EventQuery& query) override;
  Result<std::vector<StoredEvent>> PartEvents(const EventQuery& query, const ListingPart& part,
                                              std::int64_t skip, int limit) override;
  Result<std::vector<CountedEvents>> Counts(const EventQuery& query,
                                            CountGrouping grouping) override;
  Result<std::vector<HistoryHole>> Holes(const EventQuery& query) override;
  Result<std::vector<KeptCopy>> Copies(const std::optional<std::string>& device) override;
  Result<std::vector<std::uint8_t>> CopyBytes(std::int64_t id) override;
  Result<std::vector<RebuiltDevice>> Withdraw(const std::vector<std::int64_t>& ids,
                                              const std::string& reason) override;
  Status RenameDevice(const std::string& from, const std::string& to,
                      const std::string& reason) override;
  Status RemoveDevice(const std::string& name, const std::string& reason) override;
  Result<std::vector<JournalEntry>> Journal() override;
  Result<std::optional<JournalEntry>> JournalHead() override { return ReadJournalHead(*db_); }
  Result<Verification> Verify(const std::vector<std::string>& devices) override;
  Result<std::string> CheckDatabase() override { return db_->CheckDatabase(); }
  Status Backup(const std::string& destination) override { return db_->BackupTo(destination); }

 private:
  // What a copy's merge did, as the copy row keeps it.
  struct CopyNote {
    std::int64_t id = 0;
    std::int64_t newEvents = 0;
    bool gapBefore = false;
    bool operator==(const CopyNote&) const = default;
  };
  struct Device {
    std::int64_t id = 0;
    std::string name;
  };
  struct Stretch {
    std::int64_t id = 0;
    std::int64_t rank = 0;
    std::int64_t firstPos = 0;
    std::int64_t lastPos = 0;
    std::int64_t orderTime = 0;
  };

  // Import steps (store_import.cpp), inside the caller's write transaction.
  // One copy inside the caller's transaction; a copy that does not belong
  // fails, with why in `refusal`.
  Result<ImportOutcome> ImportOne(const std::string& device, const ArchiveCopy& copy,
                                  std::optional<std::string>& refusal);
  // Merges the copy into the device's stretches and events; with `check`,
  // a copy that does not belong is refused first (`refusal`).
  Result<MergePlan> MergeIntoDevice(std::int64_t deviceId, const std::string& device,
                                    const ArchiveCopy& copy, std::int64_t copyId, bool check,
                                    std::optional<std::string>& refusal);
  // The stored copy of the same bytes that has not been withdrawn: an import
  // of it again is no new copy.
  Result<std::optional<KeptCopy>> SameFileStored(const std::string& sha256);
  // Stores the copy (its bytes when known); its key. RecordMerge then notes
  // what its merge did, on the copy and in the journal.
  Result<std::int64_t> KeepCopy(std::int64_t deviceId, const ArchiveCopy& copy);
  Status RecordMerge(std::int64_t copyId, const std::string& device, const ArchiveCopy& copy,
                     const MergePlan& plan);
  Status NoteMerge(std::int64_t copyId, const MergePlan& plan);
  Status WriteNote(const CopyNote& note);
  // Copy steps (store_copies.cpp), inside the caller's write transaction.
  Result<std::optional<std::int64_t>> FindDevice(const std::string& name, bool lock);
  // Rebuilds a device's stretches and events from its copies that are not
  // withdrawn, in their import order; the events it holds after.
  Result<EventSnapshot> RebuildDevice(std::int64_t deviceId, const std::string& device);
  // Rebuild steps (store_rebuild.cpp).
  // The device's copies that are not withdrawn, merged in memory in their
  // import order, without writing; `changed` receives the notes the merge
  // gives otherwise than the copy rows keep them.
  Result<MemoryMerge> MergeKeptCopies(std::int64_t deviceId, const std::string& device,
                                      std::vector<CopyNote>& changed);
  Result<std::vector<StoredStretch>> StoredStretches(std::int64_t deviceId);
  Status WriteRebuild(std::int64_t deviceId, const std::vector<MergedStretch>& merged,
                      const RebuildWrites& writes);
  Result<std::int64_t> DeviceEvents(std::int64_t deviceId);
  // The digest (event_snapshot.h) of the events the device holds.
  Result<std::string> DeviceDigest(std::int64_t deviceId);
  // Verification steps (store_verify.cpp), inside a read transaction.
  Result<Verification> VerifyInside(const std::vector<std::string>& devices);
  Result<std::vector<std::int64_t>> StretchIds(std::int64_t deviceId);
  Result<std::int64_t> LockDevice(const std::string& name);
  Result<std::vector<Stretch>> Stretches(std::int64_t deviceId);
  Result<HistorySlice> LoadSlice(std::int64_t deviceId, const std::vector<Stretch>& stretches,
                                 const std::vector<Identity>& copy);
  Status ApplyPlan(std::int64_t deviceId, const std::vector<Stretch>& stretches,
                   const MergePlan& plan, const ArchiveCopy& copy, std::int64_t copyId);
  Status InsertEvents(std::int64_t stretchId, std::int64_t deviceId, const MergePlan& plan,
                      const ArchiveCopy& copy, std::int64_t copyId);

  // Listing steps (store_queries.cpp).
  Result<std::vector<Device>> ListDevices(const std::vector<std::string>& only);
  // The text filter's condition on one device's events (" AND ..."), which
  // depends on the names of its inputs and relays; empty without a text.
  Result<std::string> TextCondition(const EventQuery& query, std::int64_t deviceId);
  Result<std::vector<ListingPart>> ReadParts(const EventQuery& query);
  Result<std::vector<StoredEvent>> ReadPartEvents(const EventQuery& query, const ListingPart& part,
                                                  std::int64_t skip, int limit);
  // Hands every event the query lets through to `sink`, in listing order.
  Status ReadEvents(const EventQuery& query, const std::function<void(const StoredEvent&)>& sink);
  // The positions of a stretch from its first to its last event in the
  // query's dates, found through the date index: reading the stretch in
  // position order between them passes only near the dates. The whole
  // stretch without dates; none when no event of it lies in them.
  Result<std::optional<PositionRange>> DatedRange(const Stretch& stretch, const EventQuery& query);
  // DatedRange of each of the device's stretches, by stretch id; a stretch
  // without events in the dates is left out.
  Result<std::map<std::int64_t, PositionRange>> DatedRanges(std::int64_t deviceId,
                                                            const std::vector<Stretch>& stretches,
                                                            const EventQuery& query);
  // Whether the query lists any event of the stretch's positions in `range`.
  Result<bool> AnyEventIn(const Stretch& stretch, const PositionRange& range,
                          const EventQuery& query, const std::string& textCondition);
  Result<std::optional<StoredEvent>> FirstDated(const Device& device,
                                                const std::vector<Stretch>& stretches, bool newest);
  Result<std::vector<DeviceSummary>> ReadDevices(const std::vector<std::string>& only,
                                                 bool damaged);

  // Aggregation steps (store_counts.cpp).
  Result<std::vector<CountedEvents>> ReadCounts(const EventQuery& query, CountGrouping grouping);
  Result<std::vector<HistoryHole>> ReadHoles(const EventQuery& query);

  std::unique_ptr<SqlConnection> db_;
};

}  // namespace torv::history
