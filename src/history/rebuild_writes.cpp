#include "history/rebuild_writes.h"

#include <algorithm>
#include <map>
#include <tuple>
#include <unordered_map>

#include "history/stored_columns.h"

namespace torv::history {
namespace {

// A stored event a merged one may be matched with.
struct StoredPlace {
  std::size_t stretch = 0;
  std::size_t row = 0;
};

// Events that recur within a copy (the same bytes many times over) vote for
// no alignment: they would only cost time, never decide.
constexpr int kMostVotesPerEvent = 16;

// How many merged events of stretch `merged` fall on an equal stored event of
// stretch `stored` when merged index i lies at stored position i + shift.
using Pairing = std::tuple<std::size_t, std::size_t, std::int64_t>;

std::map<Pairing, std::int64_t> CountAlignments(const std::vector<StoredStretch>& stored,
                                                  const std::vector<MergedStretch>& merged) {
  std::unordered_multimap<std::int64_t, StoredPlace> byMoment;
  for (std::size_t s = 0; s < stored.size(); ++s) {
    for (std::size_t i = 0; i < stored[s].rows.size(); ++i) {
      byMoment.emplace(stored[s].rows[i].moment, StoredPlace{s, i});
    }
  }
  std::map<Pairing, std::int64_t> votes;
  for (std::size_t m = 0; m < merged.size(); ++m) {
    for (std::size_t i = 0; i < merged[m].events.size(); ++i) {
      const StoredRow row = RowOf(merged[m].events[i]);
      const auto [from, to] = byMoment.equal_range(row.moment);
      int counted = 0;
      for (auto it = from; it != to && counted < kMostVotesPerEvent; ++it, ++counted) {
        const StoredStretch& candidate = stored[it->second.stretch];
        if (candidate.rows[it->second.row] != row) continue;
        ++votes[{m, it->second.stretch,
                 candidate.positions[it->second.row] - static_cast<std::int64_t>(i)}];
      }
    }
  }
  return votes;
}

void AddPosition(std::vector<PositionRange>& ranges, std::int64_t position) {
  if (!ranges.empty() && ranges.back().hi + 1 == position) {
    ranges.back().hi = position;
  } else {
    ranges.push_back({position, position});
  }
}

}  // namespace

StoredRow RowOf(const MergedEvent& event) {
  const StoredColumns columns = ColumnsOf(event.record, event.year);
  const auto* dateKey = std::get_if<std::int64_t>(&columns.dateKey);
  return {columns.moment, std::int64_t{event.record.bytes[kSpareByte]},
          dateKey ? std::optional(*dateKey) : std::nullopt, event.copyId};
}

EventSnapshot SnapshotOf(const std::vector<MergedStretch>& merged) {
  EventSnapshot snapshot;
  for (const MergedStretch& stretch : merged) {
    std::vector<SnapshotEvent>& run = snapshot.emplace_back();
    run.reserve(stretch.events.size());
    for (const MergedEvent& event : stretch.events) {
      const StoredRow row = RowOf(event);
      run.push_back({row.moment, row.spare, row.dateKey});
    }
  }
  return snapshot;
}

RebuildWrites PlanRebuildWrites(const std::vector<StoredStretch>& stored,
                                const std::vector<MergedStretch>& merged) {
  // Each merged stretch takes the stored one it shares most with, the
  // strongest pairs first.
  const std::map<Pairing, std::int64_t> votes = CountAlignments(stored, merged);
  std::vector<std::pair<std::int64_t, Pairing>> ranked;
  for (const auto& [alignment, count] : votes) ranked.push_back({-count, alignment});
  std::sort(ranked.begin(), ranked.end());
  std::vector<std::optional<std::pair<std::size_t, std::int64_t>>> takes(merged.size());
  std::vector<bool> taken(stored.size(), false);
  for (const auto& [negativeCount, alignment] : ranked) {
    const auto& [m, s, shift] = alignment;
    if (takes[m] || taken[s]) continue;
    takes[m] = std::pair(s, shift);
    taken[s] = true;
  }

  RebuildWrites writes;
  for (std::size_t s = 0; s < stored.size(); ++s) {
    if (!taken[s]) writes.removed.push_back(stored[s].id);
  }
  for (std::size_t m = 0; m < merged.size(); ++m) {
    const MergedStretch& stretch = merged[m];
    const auto size = static_cast<std::int64_t>(stretch.events.size());
    StretchWrite write;
    write.orderTime = stretch.orderTime;
    if (!takes[m]) {
      write.firstPos = stretch.firstPos;
      write.lastPos = stretch.firstPos + size - 1;
      for (std::size_t i = 0; i < stretch.events.size(); ++i) write.inserted.push_back(i);
      writes.stretches.push_back(std::move(write));
      continue;
    }
    const auto [s, shift] = *takes[m];
    const StoredStretch& old = stored[s];
    write.id = old.id;
    write.firstPos = shift;
    write.lastPos = shift + size - 1;
    std::vector<bool> kept(old.rows.size(), false);
    for (std::int64_t i = 0; i < size; ++i) {
      const auto at = std::lower_bound(old.positions.begin(), old.positions.end(), shift + i);
      const auto row = static_cast<std::size_t>(at - old.positions.begin());
      if (at != old.positions.end() && *at == shift + i &&
          old.rows[row] == RowOf(stretch.events[static_cast<std::size_t>(i)])) {
        kept[row] = true;
      } else {
        write.inserted.push_back(static_cast<std::size_t>(i));
      }
    }
    for (std::size_t row = 0; row < old.rows.size(); ++row) {
      if (!kept[row]) AddPosition(write.deleted, old.positions[row]);
    }
    write.rowChanged = old.rank != static_cast<std::int64_t>(m) ||
                       old.firstPos != write.firstPos || old.lastPos != write.lastPos ||
                       old.orderTime != write.orderTime;
    writes.stretches.push_back(std::move(write));
  }
  return writes;
}

}  // namespace torv::history
