// Importing a copy: lock the device, load what the merge may compare, plan,
// and store the plan, all in one transaction.
#include <algorithm>
#include <ctime>
#include <map>

#include "history/kept_copy.h"
#include "history/operator_text.h"
#include "history/sql_history_store.h"
#include "history/store_genuine.h"
#include "history/stored_columns.h"
#include "history/year_rule.h"

namespace torv::history {

Result<std::int64_t> SqlHistoryStore::LockDevice(const std::string& name) {
  // Inserted only when missing: PostgreSQL would use up an id of the devices'
  // sequence for every insert that meets the name already there.
  if (Status s = db_->Exec("INSERT INTO devices (name) SELECT $1 WHERE NOT EXISTS "
                           "(SELECT 1 FROM devices WHERE name = $1) ON CONFLICT (name) DO NOTHING",
                           {name});
      !s) {
    return s.failure();
  }
  // Every other import of this device waits until this transaction ends.
  const std::string sql =
      "SELECT id FROM devices WHERE name = $1" + std::string(db_->Words().lockRows);
  std::optional<std::int64_t> id;
  if (Status s = db_->Query(sql, {name}, [&](const SqlRow& row) { id = row.Int(0); }); !s) {
    return s.failure();
  }
  if (!id) return Failure{"the device row vanished"};
  return *id;
}

Result<std::vector<SqlHistoryStore::Stretch>> SqlHistoryStore::Stretches(std::int64_t deviceId) {
  std::vector<Stretch> stretches;
  Status s = db_->Query(
      "SELECT id, rank, first_pos, last_pos, order_time FROM stretches WHERE device_id = $1 "
      "ORDER BY rank",
      {deviceId}, [&](const SqlRow& row) {
        stretches.push_back({row.Int(0), row.Int(1), row.Int(2), row.Int(3), row.Int(4)});
      });
  if (!s) return s.failure();
  return stretches;
}

Result<HistorySlice> SqlHistoryStore::LoadSlice(std::int64_t deviceId,
                                                const std::vector<Stretch>& stretches,
                                                const std::vector<Identity>& copy) {
  std::map<std::int64_t, std::size_t> indexOf;
  std::vector<PositionRange> bounds;
  for (std::size_t i = 0; i < stretches.size(); ++i) {
    indexOf[stretches[i].id] = i;
    bounds.push_back({stretches[i].firstPos, stretches[i].lastPos});
  }
  const auto hits = [&](Identity identity, std::vector<IdentityHit>& found) -> Status {
    return db_->Query("SELECT stretch_id, pos FROM events WHERE device_id = $1 AND moment = $2",
                      {deviceId, MomentOf(identity)}, [&](const SqlRow& row) {
                        const auto stretch = indexOf.find(row.Int(0));
                        if (stretch != indexOf.end())
                          found.push_back({stretch->second, row.Int(1)});
                      });
  };
  // A copy of damaged records only overlaps nothing that counts: only the
  // stretches that might lie inside it are loaded.
  std::vector<IdentityHit> firstHits;
  std::vector<IdentityHit> lastHits;
  const std::optional<CopyAnchors> anchors = AnchorsOf(copy);
  if (anchors) {
    if (Status s = hits(copy[static_cast<std::size_t>(anchors->first)], firstHits); !s) {
      return s.failure();
    }
    if (Status s = hits(copy[static_cast<std::size_t>(anchors->last)], lastHits); !s) {
      return s.failure();
    }
  }
  const std::vector<std::vector<PositionRange>> windows = WindowsToLoad(
      bounds, static_cast<int>(copy.size()), anchors.value_or(CopyAnchors{}), firstHits, lastHits);

  HistorySlice slice;
  for (std::size_t i = 0; i < stretches.size(); ++i) {
    StretchSlice part;
    part.id = stretches[i].id;
    part.firstPos = stretches[i].firstPos;
    part.lastPos = stretches[i].lastPos;
    part.orderTime = stretches[i].orderTime;
    for (const PositionRange& range : windows[i]) {
      LoadedRun run;
      run.start = range.lo;
      Status s = db_->Query(
          "SELECT moment FROM events WHERE stretch_id = $1 AND pos >= $2 AND pos <= $3 "
          "ORDER BY pos",
          {part.id, range.lo, range.hi},
          [&](const SqlRow& row) { run.identities.push_back(IdentityOfMoment(row.Int(0))); });
      if (!s) return s.failure();
      if (static_cast<std::int64_t>(run.identities.size()) != range.hi - range.lo + 1) {
        return Failure{"the history store is inconsistent: a stretch has a hole"};
      }
      part.loaded.push_back(std::move(run));
    }
    slice.stretches.push_back(std::move(part));
  }
  return slice;
}

Status SqlHistoryStore::InsertEvents(std::int64_t stretchId, std::int64_t deviceId,
                                     const MergePlan& plan, const ArchiveCopy& copy,
                                     std::int64_t copyId) {
  const std::vector<std::optional<int>> years = YearsOf(copy.records, copy.copiedAt);
  std::vector<SqlValue> values;
  values.reserve(plan.newIndices.size() * EventColumns().size());
  for (const int index : plan.newIndices) {
    const auto at = static_cast<std::size_t>(index);
    AppendEventRow(values, stretchId, plan.copyStart + index, deviceId, copy.records[at], years[at],
                   copyId);
  }
  return db_->InsertRows("events", EventColumns(), values);
}

Status SqlHistoryStore::ApplyPlan(std::int64_t deviceId, const std::vector<Stretch>& stretches,
                                  const MergePlan& plan, const ArchiveCopy& copy,
                                  std::int64_t copyId) {
  std::vector<std::int64_t> order;
  for (const Stretch& stretch : stretches) order.push_back(stretch.id);
  std::int64_t targetId = 0;
  if (plan.target) {
    targetId = stretches[*plan.target].id;
    for (const MergePlan::Fold& fold : plan.folds) {
      const std::int64_t foldedId = stretches[fold.stretch].id;
      if (Status s =
              db_->Exec("UPDATE events SET stretch_id = $1, pos = pos + $2 WHERE stretch_id = $3",
                        {targetId, fold.shift, foldedId});
          !s) {
        return s;
      }
      if (Status s = db_->Exec("DELETE FROM stretches WHERE id = $1", {foldedId}); !s) return s;
      order.erase(std::find(order.begin(), order.end(), foldedId));
    }
    if (Status s = db_->Exec(
            "UPDATE stretches SET first_pos = $1, last_pos = $2, order_time = $3 WHERE id = $4",
            {plan.firstPos, plan.lastPos, plan.orderTime, targetId});
        !s) {
      return s;
    }
  } else {
    Status s = db_->Query(
        "INSERT INTO stretches (device_id, rank, first_pos, last_pos, order_time) "
        "VALUES ($1, $2, $3, $4, $5) RETURNING id",
        {deviceId, std::int64_t{-1}, plan.firstPos, plan.lastPos, plan.orderTime},
        [&](const SqlRow& row) { targetId = row.Int(0); });
    if (!s) return s;
    order.insert(order.begin() + static_cast<std::ptrdiff_t>(plan.newStretchIndex), targetId);
  }
  if (Status s = InsertEvents(targetId, deviceId, plan, copy, copyId); !s) return s;

  std::map<std::int64_t, std::int64_t> oldRank;
  for (const Stretch& stretch : stretches) oldRank[stretch.id] = stretch.rank;
  for (std::size_t rank = 0; rank < order.size(); ++rank) {
    const auto found = oldRank.find(order[rank]);
    if (found != oldRank.end() && found->second == static_cast<std::int64_t>(rank)) continue;
    if (Status s = db_->Exec("UPDATE stretches SET rank = $1 WHERE id = $2",
                             {static_cast<std::int64_t>(rank), order[rank]});
        !s) {
      return s;
    }
  }
  return {};
}

Result<MergePlan> SqlHistoryStore::MergeIntoDevice(std::int64_t deviceId, const std::string& device,
                                                   const ArchiveCopy& copy, std::int64_t copyId,
                                                   bool check,
                                                   std::optional<std::string>& refusal) {
  std::vector<Identity> identities;
  identities.reserve(copy.records.size());
  for (const ArchiveRecord& record : copy.records) identities.push_back(IdentityOf(record));
  Result<std::vector<Stretch>> stretches = Stretches(deviceId);
  if (!stretches) return stretches.failure();
  Result<HistorySlice> slice = LoadSlice(deviceId, *stretches, identities);
  if (!slice) return slice.failure();
  const MergePlan plan = PlanMerge(*slice, identities, copy.copiedAt.unixSeconds);
  if (check) {
    // A copy that does not belong fails its transaction, so nothing is stored.
    DeviceHistory history{deviceId, device, {}};
    for (const Stretch& stretch : *stretches) history.stretchIds.push_back(stretch.id);
    Result<std::optional<std::string>> refused = CopyDoesNotBelong(*db_, history, plan, copy);
    if (!refused) return refused.failure();
    if (*refused) {
      refusal = *refused;
      return Failure{*refusal};
    }
  }
  if (Status s = ApplyPlan(deviceId, *stretches, plan, copy, copyId); !s) return s.failure();
  return plan;
}

Result<ImportOutcome> SqlHistoryStore::ImportOne(const std::string& device, const ArchiveCopy& copy,
                                                 std::optional<std::string>& refusal) {
  ImportOutcome outcome;
  if (copy.records.empty()) return outcome;
  Result<std::int64_t> deviceId = LockDevice(device);
  if (!deviceId) return deviceId.failure();
  if (!copy.bytes.empty()) {
    Result<std::optional<KeptCopy>> same = SameFileStored(Sha256Hex(copy.bytes));
    if (!same) return same.failure();
    if (*same && (*same)->device == device) {
      outcome.alreadyImported = AlreadyImportedText(**same);
      return outcome;
    }
    if (*same && !copy.forcedDevice) {
      refusal = AlreadyImportedText(**same, true);
      return Failure{*refusal};
    }
  }
  // The copy first: its events carry its key.
  Result<std::int64_t> copyId = KeepCopy(*deviceId, copy);
  if (!copyId) return copyId.failure();
  Result<MergePlan> plan = MergeIntoDevice(*deviceId, device, copy, *copyId, true, refusal);
  if (!plan) return plan.failure();
  if (Status s = RecordMerge(*copyId, device, copy, *plan); !s) return s.failure();
  outcome.newEvents = static_cast<int>(plan->newIndices.size());
  outcome.alreadyStored = plan->alreadyStored;
  outcome.gapBefore = plan->gapBefore;
  return outcome;
}

Result<ImportOutcome> SqlHistoryStore::Import(const std::string& device, const ArchiveCopy& copy) {
  if (device.empty()) return Failure{"the device name is empty"};
  if (auto problem = OperatorTextProblem(device, "the device name")) return Failure{*problem};
  if (copy.records.empty()) return ImportOutcome{};
  std::optional<std::string> refusal;
  Result<ImportOutcome> outcome =
      db_->InWriteTransaction([&] { return ImportOne(device, copy, refusal); });
  if (refusal) {
    ImportOutcome refused;
    refused.refusal = refusal;
    return refused;
  }
  return outcome;
}

Result<std::vector<ImportOutcome>> SqlHistoryStore::ImportAll(
    const std::string& device, const std::vector<ArchiveCopy>& copies) {
  if (device.empty()) return Failure{"the device name is empty"};
  if (auto problem = OperatorTextProblem(device, "the device name")) return Failure{*problem};
  return db_->InWriteTransaction([&]() -> Result<std::vector<ImportOutcome>> {
    std::vector<ImportOutcome> outcomes;
    for (const ArchiveCopy& copy : copies) {
      // A copy that does not belong fails the group; the caller then imports
      // its copies one at a time.
      std::optional<std::string> refusal;
      Result<ImportOutcome> outcome = ImportOne(device, copy, refusal);
      if (!outcome) return outcome.failure();
      outcomes.push_back(*outcome);
    }
    return outcomes;
  });
}

}  // namespace torv::history
