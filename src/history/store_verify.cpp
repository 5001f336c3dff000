// Verifying the store: every kept copy against its SHA-256, every device's
// events against what its copies give when merged again, and the journal's
// chain. The merge runs in memory and the store is only read.
#include "history/event_snapshot.h"
#include "history/journal.h"
#include "history/kept_copy.h"
#include "history/sql_history_store.h"

namespace torv::history {
namespace {

// The first difference between what is stored and what the copies give.
std::optional<std::string> FirstDifference(const std::string& device, const EventSnapshot& stored,
                                           const EventSnapshot& merged) {
  const std::string named = "device \"" + device + "\": ";
  if (stored.size() != merged.size()) {
    return named + std::to_string(stored.size()) +
           " runs between gaps are stored, its copies give " + std::to_string(merged.size());
  }
  for (std::size_t s = 0; s < stored.size(); ++s) {
    for (std::size_t e = 0; e < std::max(stored[s].size(), merged[s].size()); ++e) {
      const std::string where = "run " + std::to_string(s + 1) + ", event " + std::to_string(e + 1);
      if (e >= stored[s].size()) {
        return named + where + ": missing from the store; its copies give " +
               SnapshotEventText(merged[s][e]);
      }
      if (e >= merged[s].size()) {
        return named + where + ": stored as " + SnapshotEventText(stored[s][e]) +
               ", which none of its copies gives there";
      }
      if (!(stored[s][e] == merged[s][e])) {
        return named + where + ": stored as " + SnapshotEventText(stored[s][e]) +
               ", its copies give " + SnapshotEventText(merged[s][e]);
      }
    }
  }
  return std::nullopt;
}

}  // namespace

Result<std::vector<std::int64_t>> SqlHistoryStore::StretchIds(std::int64_t deviceId) {
  Result<std::vector<Stretch>> stretches = Stretches(deviceId);
  if (!stretches) return stretches.failure();
  std::vector<std::int64_t> ids;
  for (const Stretch& stretch : *stretches) ids.push_back(stretch.id);
  return ids;
}

Result<Verification> SqlHistoryStore::Verify(const std::vector<std::string>& only) {
  return db_->InReadTransaction([&] { return VerifyInside(only); });
}

Result<Verification> SqlHistoryStore::VerifyInside(const std::vector<std::string>& only) {
  Verification verification;
  Result<std::vector<Device>> devices = ListDevices(only);
  if (!devices) return devices.failure();
  for (const Device& device : *devices) {
    DeviceVerification checked{device.name, 0, 0, {}};
    // Every kept copy, withdrawn ones too, against its digest.
    std::optional<std::string> badCopy;
    const Status copies = db_->Query(
        "SELECT id, sha256, bytes, withdrawn_at FROM copies WHERE device_id = $1 ORDER BY id",
        {device.id}, [&](const SqlRow& row) {
          if (row.IsNull(2)) {
            if (row.IsNull(3)) checked.withoutBytes.push_back(row.Int(0));
            return;
          }
          ++checked.copies;
          if (!badCopy && Sha256Hex(row.Blob(2)) != row.Text(1)) {
            badCopy = "copy " + std::to_string(row.Int(0)) + " of device \"" + device.name +
                      "\": its bytes no longer give the SHA-256 it was stored with";
          }
        });
    if (!copies) return copies.failure();
    if (badCopy) {
      verification.problem = *badCopy;
      return verification;
    }
    Result<std::vector<std::int64_t>> before = StretchIds(device.id);
    if (!before) return before.failure();
    Result<EventSnapshot> stored = ReadEventSnapshot(*db_, *before);
    if (!stored) return stored.failure();
    for (const auto& run : *stored) checked.events += static_cast<std::int64_t>(run.size());
    // Events of copies kept without their bytes cannot be merged again:
    // they are named as not verifiable, never passed as verified.
    if (checked.withoutBytes.empty()) {
      std::vector<CopyNote> notes;
      Result<MemoryMerge> merged = MergeKeptCopies(device.id, device.name, notes);
      if (!merged) return merged.failure();
      if (auto difference =
              FirstDifference(device.name, *stored, SnapshotOf(merged->Stretches()))) {
        verification.problem = *difference;
        return verification;
      }
    }
    verification.devices.push_back(std::move(checked));
  }
  Result<JournalCheck> journal = CheckJournal(*db_);
  if (!journal) return journal.failure();
  verification.journalEntries = journal->entries;
  verification.problem = journal->problem;
  return verification;
}

}  // namespace torv::history
