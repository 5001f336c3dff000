// A device's history merged in memory, copy after copy, by the same rule and
// the same windows as an import into the store. A rebuild merges all the
// device's remaining copies here and then writes only what differs from what
// is stored, instead of a round trip to the store for every copy.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <unordered_map>
#include <vector>

#include "history/history_model.h"
#include "history/merge.h"

namespace torv::history {

struct MergedEvent {
  ArchiveRecord record;
  std::optional<int> year;
  std::int64_t copyId = 0;  // the copy it was first merged from
};

struct MergedStretch {
  std::int64_t firstPos = 0;
  std::int64_t orderTime = 0;
  std::deque<MergedEvent> events;  // positions firstPos, firstPos + 1, ...
  std::int64_t LastPos() const { return firstPos + static_cast<std::int64_t>(events.size()) - 1; }
};

class MemoryMerge {
 public:
  // Merges one copy (records in ring order, empty ones left out); the plan
  // it followed.
  MergePlan Add(const ArchiveCopy& copy, std::int64_t copyId);
  // Oldest first.
  const std::vector<MergedStretch>& Stretches() const { return stretches_; }

 private:
  // Where a stored identity stands: a stretch's key and a position in that
  // stretch's numbering. Folding a stretch into another forwards its key
  // (with the shift of its positions), so the index never needs rewriting.
  struct Place {
    std::int64_t key = 0;
    std::int64_t position = 0;
  };
  Place Resolve(Place place) const;
  std::vector<IdentityHit> Hits(Identity identity) const;
  HistorySlice Slice(const std::vector<Identity>& copy) const;

  std::vector<MergedStretch> stretches_;
  std::vector<std::int64_t> keys_;  // each stretch's key, beside stretches_
  struct Forward {
    std::int64_t into = 0;
    std::int64_t shift = 0;
  };
  std::vector<std::optional<Forward>> forwards_;  // by key; none: a live stretch
  std::unordered_multimap<Identity, Place> places_;
};

}  // namespace torv::history
