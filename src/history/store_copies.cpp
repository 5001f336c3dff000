// The copies the store keeps, and what can be done with them: list them,
// give one back, take some out of the history (rebuilding it from the rest),
// and rename or remove a device. Each change is one transaction with its
// journal entries.
#include <ctime>
#include <map>
#include <set>

#include "history/event_snapshot.h"
#include "history/journal.h"
#include "history/kept_copy.h"
#include "history/operator_text.h"
#include "history/sql_history_store.h"
#include "history/stored_columns.h"
#include "history/year_rule.h"

namespace torv::history {
namespace {

constexpr char kCopyColumns[] =
    "SELECT c.id, d.name, c.source, c.file_size, c.sha256, c.copied_at, c.imported_at, "
    "c.imported_by, c.version, c.records, c.new_events, c.gap_before, c.forced, c.withdrawn_at, "
    "c.copied_day FROM copies c JOIN devices d ON d.id = c.device_id ";

KeptCopy KeptCopyOf(const SqlRow& row) {
  KeptCopy copy;
  copy.id = row.Int(0);
  copy.device = row.Text(1);
  copy.file = row.Text(2);
  if (!row.IsNull(3)) copy.size = row.Int(3);
  if (!row.IsNull(4)) copy.sha256 = row.Text(4);
  copy.copiedAt = row.Int(5);
  copy.importedAt = row.Int(6);
  copy.importedBy = row.Text(7);
  copy.version = row.Text(8);
  copy.records = row.Int(9);
  copy.newEvents = row.Int(10);
  copy.gapBefore = row.Int(11) != 0;
  copy.forced = row.Int(12) != 0;
  copy.withdrawn = !row.IsNull(13);
  if (!row.IsNull(14)) copy.copiedDay = row.Int(14);
  return copy;
}

std::string ImportDetail(const MergePlan& plan, bool forced) {
  return std::to_string(plan.newIndices.size()) + " new, " + std::to_string(plan.alreadyStored) +
         " already stored" + (plan.gapBefore ? ", gap before" : "") + (forced ? ", forced" : "");
}

std::int64_t Now() {
  return static_cast<std::int64_t>(std::time(nullptr));
}

// The events a merge added, as the store holds them.
std::vector<SnapshotEvent> NewEvents(const MergePlan& plan, const ArchiveCopy& copy) {
  const std::vector<std::optional<int>> years = YearsOf(copy.records, copy.copiedAt);
  std::vector<SnapshotEvent> events;
  for (const int index : plan.newIndices) {
    const auto at = static_cast<std::size_t>(index);
    const ArchiveRecord& record = copy.records[at];
    const StoredColumns columns = ColumnsOf(record, years[at]);
    const auto* dateKey = std::get_if<std::int64_t>(&columns.dateKey);
    events.push_back({columns.moment, std::int64_t{record.bytes[kSpareByte]},
                      dateKey ? std::optional(*dateKey) : std::nullopt});
  }
  return events;
}

Failure NoDevice(const std::string& name) {
  return Failure{"no device \"" + name + "\" in the history"};
}

}  // namespace

Result<std::optional<KeptCopy>> SqlHistoryStore::SameFileStored(const std::string& sha256) {
  std::optional<KeptCopy> found;
  const Status s =
      db_->Query(std::string(kCopyColumns) +
                     "WHERE c.sha256 = $1 AND c.withdrawn_at IS NULL ORDER BY c.id LIMIT 1",
                 {sha256}, [&](const SqlRow& row) { found = KeptCopyOf(row); });
  if (!s) return s.failure();
  return found;
}

Result<std::int64_t> SqlHistoryStore::KeepCopy(std::int64_t deviceId, const ArchiveCopy& copy) {
  const bool kept = !copy.bytes.empty();
  std::int64_t copyId = 0;
  const Status inserted = db_->Query(
      "INSERT INTO copies (id, device_id, copied_at, imported_at, source, records, new_events, "
      "copied_day, file_size, sha256, bytes, imported_by, version, gap_before, forced) "
      "VALUES (" +
          std::string(db_->Words().newCopyId) +
          ", $1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11, $12, $13, $14) RETURNING id",
      {deviceId, copy.copiedAt.unixSeconds, Now(), copy.source,
       static_cast<std::int64_t>(copy.records.size()), std::int64_t{0}, CopyDayKey(copy.copiedAt),
       kept ? SqlValue(static_cast<std::int64_t>(copy.bytes.size())) : SqlValue(nullptr),
       kept ? SqlValue(Sha256Hex(copy.bytes)) : SqlValue(nullptr),
       kept ? SqlValue(SqlBlob{copy.bytes}) : SqlValue(nullptr), OperatorIdentity(),
       std::string(TORVDOC_VERSION), std::int64_t{0}, std::int64_t{copy.forcedDevice ? 1 : 0}},
      [&](const SqlRow& row) { copyId = row.Int(0); });
  if (!inserted) return inserted.failure();
  return copyId;
}

Status SqlHistoryStore::RecordMerge(std::int64_t copyId, const std::string& device,
                                    const ArchiveCopy& copy, const MergePlan& plan) {
  if (Status s = NoteMerge(copyId, plan); !s) return s;
  return AppendJournal(*db_, "import", device, copyId, "",
                       copy.source + ": " + ImportDetail(plan, copy.forcedDevice),
                       copy.bytes.empty() ? std::nullopt : std::optional(Sha256Hex(copy.bytes)),
                       EventsDigest({NewEvents(plan, copy)}));
}

Result<std::string> SqlHistoryStore::DeviceDigest(std::int64_t deviceId) {
  Result<std::vector<std::int64_t>> stretches = StretchIds(deviceId);
  if (!stretches) return stretches.failure();
  Result<EventSnapshot> events = ReadEventSnapshot(*db_, *stretches);
  if (!events) return events.failure();
  return EventsDigest(*events);
}

Status SqlHistoryStore::NoteMerge(std::int64_t copyId, const MergePlan& plan) {
  return WriteNote({copyId, static_cast<std::int64_t>(plan.newIndices.size()), plan.gapBefore});
}

Status SqlHistoryStore::WriteNote(const CopyNote& note) {
  return db_->Exec("UPDATE copies SET new_events = $1, gap_before = $2 WHERE id = $3",
                   {note.newEvents, std::int64_t{note.gapBefore ? 1 : 0}, note.id});
}

Result<std::optional<std::int64_t>> SqlHistoryStore::FindDevice(const std::string& name,
                                                                bool lock) {
  const std::string sql =
      "SELECT id FROM devices WHERE name = $1" + std::string(lock ? db_->Words().lockRows : "");
  std::optional<std::int64_t> id;
  if (Status s = db_->Query(sql, {name}, [&](const SqlRow& row) { id = row.Int(0); }); !s) {
    return s.failure();
  }
  return id;
}

Result<std::int64_t> SqlHistoryStore::DeviceEvents(std::int64_t deviceId) {
  std::int64_t events = 0;
  const Status s = db_->Query("SELECT count(*) FROM events WHERE device_id = $1", {deviceId},
                              [&](const SqlRow& row) { events = row.Int(0); });
  if (!s) return s.failure();
  return events;
}

Result<std::vector<KeptCopy>> SqlHistoryStore::Copies(const std::optional<std::string>& device) {
  std::vector<KeptCopy> copies;
  const auto sink = [&](const SqlRow& row) { copies.push_back(KeptCopyOf(row)); };
  const Status s = db_->InReadTransaction([&] {
    return device ? db_->Query(std::string(kCopyColumns) + "WHERE d.name = $1 ORDER BY c.id",
                               {*device}, sink)
                  : db_->Query(std::string(kCopyColumns) + "ORDER BY c.id", {}, sink);
  });
  if (!s) return s.failure();
  return copies;
}

Result<std::vector<std::uint8_t>> SqlHistoryStore::CopyBytes(std::int64_t id) {
  std::optional<std::vector<std::uint8_t>> bytes;
  bool found = false;
  const Status s = db_->InReadTransaction([&] {
    return db_->Query("SELECT bytes FROM copies WHERE id = $1", {id}, [&](const SqlRow& row) {
      found = true;
      if (!row.IsNull(0)) bytes = row.Blob(0);
    });
  });
  if (!s) return s.failure();
  if (!found) return Failure{"no copy " + std::to_string(id) + " in the history"};
  if (!bytes) {
    return Failure{"copy " + std::to_string(id) +
                   " was imported before the store kept copies; its bytes are not known"};
  }
  return *bytes;
}

Result<std::vector<RebuiltDevice>> SqlHistoryStore::Withdraw(const std::vector<std::int64_t>& ids,
                                                             const std::string& reason) {
  if (ids.empty()) return Failure{"no copy to withdraw"};
  if (auto problem = OperatorTextProblem(reason, "the reason", true)) return Failure{*problem};
  return db_->InWriteTransaction([&]() -> Result<std::vector<RebuiltDevice>> {
    // The devices concerned, each locked against imports until the end.
    std::map<std::string, std::vector<KeptCopy>> byDevice;
    for (const std::int64_t id : std::set<std::int64_t>(ids.begin(), ids.end())) {
      std::optional<KeptCopy> copy;
      const Status s = db_->Query(std::string(kCopyColumns) + "WHERE c.id = $1", {id},
                                  [&](const SqlRow& row) { copy = KeptCopyOf(row); });
      if (!s) return s.failure();
      if (!copy) return Failure{"no copy " + std::to_string(id) + " in the history"};
      if (copy->withdrawn) return Failure{"copy " + std::to_string(id) + " is withdrawn already"};
      byDevice[copy->device].push_back(*copy);
    }
    // Every device locked before the journal's lock is taken (AppendJournal).
    std::map<std::string, std::int64_t> deviceIds;
    for (const auto& entry : byDevice) {
      Result<std::optional<std::int64_t>> deviceId = FindDevice(entry.first, true);
      if (!deviceId) return deviceId.failure();
      if (!*deviceId) return NoDevice(entry.first);
      deviceIds[entry.first] = **deviceId;
    }
    std::vector<RebuiltDevice> rebuilt;
    for (const auto& [device, copies] : byDevice) {
      const std::int64_t deviceId = deviceIds.at(device);
      Result<std::int64_t> before = DeviceEvents(deviceId);
      if (!before) return before.failure();
      for (const KeptCopy& copy : copies) {
        if (Status s =
                db_->Exec("UPDATE copies SET withdrawn_at = $1 WHERE id = $2", {Now(), copy.id});
            !s) {
          return s.failure();
        }
      }
      Result<EventSnapshot> after = RebuildDevice(deviceId, device);
      if (!after) return after.failure();
      // Each entry carries the digest of the events the device holds now.
      const std::string digest = EventsDigest(*after);
      for (const KeptCopy& copy : copies) {
        if (Status s = AppendJournal(
                *db_, "withdraw", device, copy.id, reason, copy.file,
                copy.sha256.empty() ? std::nullopt : std::optional(copy.sha256), digest);
            !s) {
          return s.failure();
        }
      }
      std::int64_t left = 0;
      if (Status s = db_->Query(
              "SELECT count(*) FROM copies WHERE device_id = $1 AND withdrawn_at IS NULL",
              {deviceId}, [&](const SqlRow& row) { left = row.Int(0); });
          !s) {
        return s.failure();
      }
      std::int64_t events = 0;
      for (const auto& run : *after) events += static_cast<std::int64_t>(run.size());
      rebuilt.push_back({device, *before, events, left});
    }
    return rebuilt;
  });
}

Status SqlHistoryStore::RenameDevice(const std::string& from, const std::string& to,
                                     const std::string& reason) {
  if (auto problem = OperatorTextProblem(to, "the new device name")) return Failure{*problem};
  if (auto problem = OperatorTextProblem(reason, "the reason", true)) return Failure{*problem};
  return db_->InWriteTransaction([&]() -> Status {
    Result<std::optional<std::int64_t>> deviceId = FindDevice(from, true);
    if (!deviceId) return deviceId.failure();
    if (!*deviceId) return NoDevice(from);
    Result<std::optional<std::int64_t>> taken = FindDevice(to, false);
    if (!taken) return taken.failure();
    if (*taken) return Failure{"a device \"" + to + "\" is in the history already"};
    if (Status s = db_->Exec("UPDATE devices SET name = $1 WHERE id = $2", {to, **deviceId}); !s) {
      return s;
    }
    return AppendJournal(*db_, "rename", to, std::nullopt, reason, "renamed from \"" + from + "\"");
  });
}

Status SqlHistoryStore::RemoveDevice(const std::string& name, const std::string& reason) {
  if (auto problem = OperatorTextProblem(reason, "the reason", true)) return Failure{*problem};
  return db_->InWriteTransaction([&]() -> Status {
    Result<std::optional<std::int64_t>> deviceId = FindDevice(name, true);
    if (!deviceId) return deviceId.failure();
    if (!*deviceId) return NoDevice(name);
    // The journal keeps the digest of what goes.
    Result<std::string> digest = DeviceDigest(**deviceId);
    if (!digest) return digest.failure();
    std::string detail;
    constexpr const char* kRemoved[][2] = {
        {"events", "events"}, {"copies", "copies"}, {"names", "names"}, {"stretches", nullptr}};
    for (const auto& [table, counted] : kRemoved) {
      std::int64_t rows = 0;
      if (counted != nullptr) {
        if (Status s =
                db_->Query(std::string("SELECT count(*) FROM ") + table + " WHERE device_id = $1",
                           {**deviceId}, [&](const SqlRow& row) { rows = row.Int(0); });
            !s) {
          return s;
        }
        detail += (detail.empty() ? "removed: " : ", ") + std::string(counted) + " " +
                  std::to_string(rows);
      }
      if (Status s = db_->Exec(std::string("DELETE FROM ") + table + " WHERE device_id = $1",
                               {**deviceId});
          !s) {
        return s;
      }
    }
    if (Status s = db_->Exec("DELETE FROM devices WHERE id = $1", {**deviceId}); !s) return s;
    return AppendJournal(*db_, "remove", name, std::nullopt, reason, detail, std::nullopt, *digest);
  });
}

Result<std::vector<JournalEntry>> SqlHistoryStore::Journal() {
  return ReadJournal(*db_);
}

}  // namespace torv::history
