// Rebuilding a device's history from its remaining copies: merged in memory
// by the import's rule, then only what differs from the stored events is
// written, inside the caller's write transaction.
#include "history/event_snapshot.h"
#include "history/kept_copy.h"
#include "history/memory_merge.h"
#include "history/rebuild_writes.h"
#include "history/sql_history_store.h"
#include "history/stored_columns.h"

namespace torv::history {

Result<std::vector<StoredStretch>> SqlHistoryStore::StoredStretches(std::int64_t deviceId) {
  Result<std::vector<Stretch>> stretches = Stretches(deviceId);
  if (!stretches) return stretches.failure();
  std::vector<StoredStretch> stored;
  for (const Stretch& stretch : *stretches) {
    StoredStretch read{
        stretch.id, stretch.rank, stretch.firstPos, stretch.lastPos, stretch.orderTime, {}, {}};
    const Status s = db_->Query(
        "SELECT pos, moment, spare, date_key, copy_id FROM events WHERE stretch_id = $1 "
        "ORDER BY pos",
        {stretch.id}, [&](const SqlRow& row) {
          read.positions.push_back(row.Int(0));
          read.rows.push_back({row.Int(1), row.Int(2),
                               row.IsNull(3) ? std::nullopt : std::optional(row.Int(3)),
                               row.IsNull(4) ? std::nullopt : std::optional(row.Int(4))});
        });
    if (!s) return s.failure();
    stored.push_back(std::move(read));
  }
  return stored;
}

Result<MemoryMerge> SqlHistoryStore::MergeKeptCopies(std::int64_t deviceId,
                                                     const std::string& device,
                                                     std::vector<CopyNote>& changed) {
  struct Remaining {
    ArchiveCopy copy;
    CopyNote note;
  };
  std::vector<Remaining> remaining;
  std::optional<std::int64_t> withoutBytes;
  const Status read = db_->Query(
      "SELECT id, copied_at, copied_day, source, bytes, forced, new_events, gap_before "
      "FROM copies WHERE device_id = $1 AND withdrawn_at IS NULL ORDER BY id",
      {deviceId}, [&](const SqlRow& row) {
        if (row.IsNull(4) || row.IsNull(2)) {
          if (!withoutBytes) withoutBytes = row.Int(0);
          return;
        }
        remaining.push_back({CopyOfKeptBytes(row.Blob(4), CopyTimeOfKept(row.Int(1), row.Int(2)),
                                             row.Text(3), row.Int(5) != 0),
                             {row.Int(0), row.Int(6), row.Int(7) != 0}});
      });
  if (!read) return read.failure();
  if (withoutBytes) {
    return Failure{"copy " + std::to_string(*withoutBytes) + " of device \"" + device +
                   "\" was imported before the store kept copies: without its bytes the "
                   "history of the device cannot be rebuilt"};
  }
  // The same merge, in the order the copies were imported; they were
  // checked when they came in.
  MemoryMerge merge;
  for (const Remaining& kept : remaining) {
    const MergePlan plan = merge.Add(kept.copy, kept.note.id);
    const CopyNote note{kept.note.id, static_cast<std::int64_t>(plan.newIndices.size()),
                        plan.gapBefore};
    if (!(note == kept.note)) changed.push_back(note);
  }
  return merge;
}

Result<EventSnapshot> SqlHistoryStore::RebuildDevice(std::int64_t deviceId,
                                                     const std::string& device) {
  std::vector<CopyNote> changed;
  Result<MemoryMerge> merge = MergeKeptCopies(deviceId, device, changed);
  if (!merge) return merge.failure();
  for (const CopyNote& note : changed) {
    if (Status s = WriteNote(note); !s) return s.failure();
  }
  Result<std::vector<StoredStretch>> stored = StoredStretches(deviceId);
  if (!stored) return stored.failure();
  const std::vector<MergedStretch>& merged = merge->Stretches();
  if (Status s = WriteRebuild(deviceId, merged, PlanRebuildWrites(*stored, merged)); !s) {
    return s.failure();
  }
  return SnapshotOf(merged);
}

Status SqlHistoryStore::WriteRebuild(std::int64_t deviceId,
                                     const std::vector<MergedStretch>& merged,
                                     const RebuildWrites& writes) {
  for (const StoredRange& range : writes.deleted) {
    if (Status s = db_->Exec("DELETE FROM events WHERE stretch_id = $1 AND pos >= $2 AND pos <= $3",
                             {range.stretch, range.positions.lo, range.positions.hi});
        !s) {
      return s;
    }
  }
  std::vector<SqlValue> values;
  for (std::size_t rank = 0; rank < writes.stretches.size(); ++rank) {
    const StretchWrite& write = writes.stretches[rank];
    std::int64_t id = write.id.value_or(0);
    const auto stretchRank = static_cast<std::int64_t>(rank);
    if (!write.id) {
      if (Status s =
              db_->Query("INSERT INTO stretches (device_id, rank, first_pos, last_pos, order_time) "
                         "VALUES ($1, $2, $3, $4, $5) RETURNING id",
                         {deviceId, stretchRank, write.firstPos, write.lastPos, write.orderTime},
                         [&](const SqlRow& returned) { id = returned.Int(0); });
          !s) {
        return s;
      }
    } else if (write.rowChanged) {
      if (Status s = db_->Exec(
              "UPDATE stretches SET rank = $1, first_pos = $2, last_pos = $3, order_time = $4 "
              "WHERE id = $5",
              {stretchRank, write.firstPos, write.lastPos, write.orderTime, id});
          !s) {
        return s;
      }
    }
    for (const MovedRun& run : write.moved) {
      if (Status s = db_->Exec("UPDATE events SET stretch_id = $1, pos = pos + $2 "
                               "WHERE stretch_id = $3 AND pos >= $4 AND pos <= $5",
                               {id, run.shift, run.from, run.positions.lo, run.positions.hi});
          !s) {
        return s;
      }
    }
    const MergedStretch& stretch = merged[rank];
    for (const std::size_t i : write.inserted) {
      const MergedEvent& event = stretch.events[i];
      AppendEventRow(values, id, write.firstPos + static_cast<std::int64_t>(i), deviceId,
                     event.record, event.year, event.copyId);
    }
  }
  if (Status s = db_->InsertRows("events", EventColumns(), values); !s) return s;
  for (const std::int64_t id : writes.removed) {
    if (Status s = db_->Exec("DELETE FROM stretches WHERE id = $1", {id}); !s) return s;
  }
  return {};
}

}  // namespace torv::history
