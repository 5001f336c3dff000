// What a rebuild writes: the device's stretches as stored, against the
// stretches its remaining copies give when merged in memory. Each merged
// stretch takes over the stored stretch it shares the most events with,
// numbered so that those events stay where they are; only the events that
// differ are deleted or inserted. Withdrawing one copy of a long history then
// touches that copy's part of it, not every event.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "history/event_snapshot.h"
#include "history/memory_merge.h"

namespace torv::history {

// An event row as the rebuild compares it: what the store holds of it.
struct StoredRow {
  std::int64_t moment = 0;
  std::int64_t spare = 0;
  std::optional<std::int64_t> dateKey;
  std::optional<std::int64_t> copyId;
  bool operator==(const StoredRow&) const = default;
};
StoredRow RowOf(const MergedEvent& event);
// The merged events as a snapshot of stored ones.
EventSnapshot SnapshotOf(const std::vector<MergedStretch>& merged);

struct StoredStretch {
  std::int64_t id = 0;
  std::int64_t rank = 0;
  std::int64_t firstPos = 0;
  std::int64_t lastPos = 0;
  std::int64_t orderTime = 0;
  // In position order; a store changed behind its back may miss some.
  std::vector<std::int64_t> positions;
  std::vector<StoredRow> rows;
};

// Stored events that another stretch takes over as they are: at position
// p of stretch `from` now, at p + shift of the stretch they go to.
struct MovedRun {
  std::int64_t from = 0;
  PositionRange positions;
  std::int64_t shift = 0;
};

// One merged stretch, in rank order.
struct StretchWrite {
  std::optional<std::int64_t> id;  // the stored stretch it takes over; none: a new one
  std::int64_t firstPos = 0;       // the position of the merged stretch's first event
  std::int64_t lastPos = 0;
  std::int64_t orderTime = 0;
  bool rowChanged = true;             // the stretch's own row needs writing
  std::vector<MovedRun> moved;        // stored events of other stretches it takes
  std::vector<std::size_t> inserted;  // indices of the merged events to insert
};

struct StoredRange {
  std::int64_t stretch = 0;
  PositionRange positions;
};

// Applied in this order: the deletions, the moves, the insertions, and then
// the removed stretches' own rows go. No position is ever held twice: moves
// land in new stretches, or outside the positions a stored stretch holds.
struct RebuildWrites {
  std::vector<StoredRange> deleted;     // stored events that go
  std::vector<std::int64_t> removed;    // stored stretches that go, emptied by the above
  std::vector<StretchWrite> stretches;  // oldest first
};

RebuildWrites PlanRebuildWrites(const std::vector<StoredStretch>& stored,
                                const std::vector<MergedStretch>& merged);

}  // namespace torv::history
