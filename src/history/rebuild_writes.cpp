#include "history/rebuild_writes.h"

#include <algorithm>
#include <map>
#include <tuple>
#include <unordered_map>

#include "history/stored_columns.h"

namespace torv::history {
namespace {

// A pairing: merged stretch m laid on stored stretch s, merged index i on
// stored position i + shift.
using Pairing = std::tuple<std::size_t, std::size_t, std::int64_t>;

// Events that recur within a copy (the same bytes many times over) vote for
// no pairing: they would only cost time, never decide.
constexpr int kMostVotesPerEvent = 16;
// Pairings beyond a merged stretch's first that may give it events to move,
// and the fewest events such a pairing must share.
constexpr std::size_t kMostMovePairings = 8;
constexpr std::int64_t kFewestToMove = 8;

using MergedRows = std::vector<std::vector<StoredRow>>;

// The index of the stored row at `position`, if the stretch holds one.
std::optional<std::size_t> RowAt(const StoredStretch& stretch, std::int64_t position) {
  const std::vector<std::int64_t>& positions = stretch.positions;
  if (positions.empty()) return std::nullopt;
  const std::int64_t direct = position - positions.front();
  if (direct >= 0 && direct < static_cast<std::int64_t>(positions.size()) &&
      positions[static_cast<std::size_t>(direct)] == position) {
    return static_cast<std::size_t>(direct);
  }
  const auto at = std::lower_bound(positions.begin(), positions.end(), position);
  if (at == positions.end() || *at != position) return std::nullopt;
  return static_cast<std::size_t>(at - positions.begin());
}

bool Holds(const StoredStretch& stretch, std::int64_t position, const StoredRow& row) {
  const std::optional<std::size_t> at = RowAt(stretch, position);
  return at && stretch.rows[*at] == row;
}

// How many merged events fall on an equal stored event, per pairing. An
// event that lies where the previous event's pairing says counts there
// without a look-up: a history is mostly long runs.
std::map<Pairing, std::int64_t> CountPairings(const std::vector<StoredStretch>& stored,
                                              const MergedRows& merged) {
  std::unordered_multimap<std::int64_t, std::pair<std::size_t, std::size_t>> byMoment;
  for (std::size_t s = 0; s < stored.size(); ++s) {
    byMoment.reserve(byMoment.size() + stored[s].rows.size());
    for (std::size_t r = 0; r < stored[s].rows.size(); ++r) {
      byMoment.emplace(stored[s].rows[r].moment, std::pair(s, r));
    }
  }
  std::map<Pairing, std::int64_t> votes;
  for (std::size_t m = 0; m < merged.size(); ++m) {
    std::optional<Pairing> last;
    for (std::size_t i = 0; i < merged[m].size(); ++i) {
      const StoredRow& row = merged[m][i];
      const auto index = static_cast<std::int64_t>(i);
      if (last && Holds(stored[std::get<1>(*last)], std::get<2>(*last) + index, row)) {
        ++votes[*last];
        continue;
      }
      last.reset();
      const auto [from, to] = byMoment.equal_range(row.moment);
      int counted = 0;
      for (auto it = from; it != to && counted < kMostVotesPerEvent; ++it, ++counted) {
        const auto [s, r] = it->second;
        if (stored[s].rows[r] != row) continue;
        const Pairing pairing{m, s, stored[s].positions[r] - index};
        ++votes[pairing];
        if (!last) last = pairing;
      }
    }
  }
  return votes;
}

// Adds the rows of `stretch` not claimed as ranges of neighbouring rows.
void AddUnclaimed(std::vector<StoredRange>& ranges, const StoredStretch& stretch,
                  const std::vector<bool>& claimed) {
  for (std::size_t r = 0; r < stretch.rows.size();) {
    if (claimed[r]) {
      ++r;
      continue;
    }
    std::size_t end = r;
    while (end + 1 < stretch.rows.size() && !claimed[end + 1]) ++end;
    ranges.push_back({stretch.id, {stretch.positions[r], stretch.positions[end]}});
    r = end + 1;
  }
}

void AddMoved(std::vector<MovedRun>& runs, std::int64_t from, std::int64_t position,
              std::int64_t shift) {
  if (!runs.empty() && runs.back().from == from && runs.back().shift == shift &&
      runs.back().positions.hi + 1 == position) {
    runs.back().positions.hi = position;
  } else {
    runs.push_back({from, {position, position}, shift});
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
  MergedRows rows(merged.size());
  for (std::size_t m = 0; m < merged.size(); ++m) {
    rows[m].reserve(merged[m].events.size());
    for (const MergedEvent& event : merged[m].events) rows[m].push_back(RowOf(event));
  }
  // Each merged stretch takes the stored one it shares most with, the
  // strongest pairs first.
  const std::map<Pairing, std::int64_t> votes = CountPairings(stored, rows);
  std::vector<std::pair<std::int64_t, Pairing>> ranked;
  for (const auto& [pairing, count] : votes) ranked.push_back({-count, pairing});
  std::sort(ranked.begin(), ranked.end());
  std::vector<std::optional<std::pair<std::size_t, std::int64_t>>> takes(merged.size());
  std::vector<bool> taken(stored.size(), false);
  for (const auto& [negativeCount, pairing] : ranked) {
    const auto& [m, s, shift] = pairing;
    if (takes[m] || taken[s]) continue;
    takes[m] = std::pair(s, shift);
    taken[s] = true;
  }

  // The events each merged stretch keeps in place.
  RebuildWrites writes;
  std::vector<std::vector<bool>> claimed;
  for (const StoredStretch& stretch : stored) claimed.emplace_back(stretch.rows.size(), false);
  std::vector<std::vector<bool>> placed;
  for (std::size_t m = 0; m < merged.size(); ++m) {
    placed.emplace_back(rows[m].size(), false);
    StretchWrite write;
    write.orderTime = merged[m].orderTime;
    write.firstPos = takes[m] ? takes[m]->second : merged[m].firstPos;
    write.lastPos = write.firstPos + static_cast<std::int64_t>(rows[m].size()) - 1;
    if (takes[m]) {
      const auto [s, shift] = *takes[m];
      const StoredStretch& old = stored[s];
      write.id = old.id;
      for (std::size_t i = 0; i < rows[m].size(); ++i) {
        const std::optional<std::size_t> at = RowAt(old, shift + static_cast<std::int64_t>(i));
        if (at && old.rows[*at] == rows[m][i]) placed[m][i] = claimed[s][*at] = true;
      }
      write.rowChanged = old.rank != static_cast<std::int64_t>(m) ||
                         old.firstPos != write.firstPos || old.lastPos != write.lastPos ||
                         old.orderTime != write.orderTime;
    }
    writes.stretches.push_back(std::move(write));
  }
  // Then the events it finds as they are in other stored stretches: moved,
  // not deleted and inserted again.
  std::vector<std::size_t> movePairings(merged.size(), 0);
  for (const auto& [negativeCount, pairing] : ranked) {
    const auto& [m, s, shift] = pairing;
    if (-negativeCount < kFewestToMove || movePairings[m] == kMostMovePairings) continue;
    if (takes[m] && takes[m]->first == s) continue;
    ++movePairings[m];
    StretchWrite& write = writes.stretches[m];
    // A stored stretch taken over holds its own positions until the end.
    std::optional<PositionRange> held;
    if (takes[m] && !stored[takes[m]->first].positions.empty()) {
      held = PositionRange{stored[takes[m]->first].positions.front(),
                           stored[takes[m]->first].positions.back()};
    }
    for (std::size_t i = 0; i < rows[m].size(); ++i) {
      const std::int64_t lands = write.firstPos + static_cast<std::int64_t>(i);
      if (placed[m][i] || (held && lands >= held->lo && lands <= held->hi)) continue;
      const std::int64_t from = shift + static_cast<std::int64_t>(i);
      const std::optional<std::size_t> at = RowAt(stored[s], from);
      if (!at || claimed[s][*at] || stored[s].rows[*at] != rows[m][i]) continue;
      placed[m][i] = claimed[s][*at] = true;
      AddMoved(write.moved, stored[s].id, from, lands - from);
    }
  }
  for (std::size_t m = 0; m < merged.size(); ++m) {
    for (std::size_t i = 0; i < rows[m].size(); ++i) {
      if (!placed[m][i]) writes.stretches[m].inserted.push_back(i);
    }
  }
  for (std::size_t s = 0; s < stored.size(); ++s) {
    AddUnclaimed(writes.deleted, stored[s], claimed[s]);
    if (!taken[s]) writes.removed.push_back(stored[s].id);
  }
  return writes;
}

}  // namespace torv::history
