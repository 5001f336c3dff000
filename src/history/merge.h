// Placing a copy against a device's history: a pure function of the part of
// the history that can touch the copy and of the copy itself. The store loads
// that part (a HistorySlice, below) and persists what the plan says, inside one
// transaction.
//
// The rule. A copy is a contiguous window of the device's event sequence, and
// so is every stretch. The copy is laid against a stretch at an offset; the
// offset is valid when every record where the two overlap coincides (bytes 0
// to 6) and the overlap holds a record that is not damaged: damaged records
// are all alike, so an overlap of damaged records only says nothing about
// where the copy lies (after a gap, a copy that ends in one would otherwise
// join any stretch that starts with one). Records recur (identical
// neighbours, the same event a year later), so a copy is placed by whole
// runs, never by one record.
//
// A placement is a chain of stretches that follow each other in the history,
// each with a valid offset, in the same order inside the copy and sharing no
// copy record: the first may start before the copy, every later one must
// start inside it, and every earlier one must end inside it, so the copy
// fills the gap between two of them (with records of its own, or with none).
// A chain of one is any valid offset. Among all placements the
// one with the most coinciding records wins; on a tie, the one that lays the
// copy latest: compared stretch by stretch from the newest end of the chain,
// the later stretch and then the later offset win (the common copy extends
// the newest end). No placement: the copy becomes a stretch of its own, with
// a gap, placed among the stretches by copy time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "history/history_model.h"

namespace torv::history {

// Stored identities of positions start, start + 1, ...
struct LoadedRun {
  std::int64_t start = 0;
  std::vector<Identity> identities;
};

// One stretch, with those of its records the merge may compare.
struct StretchSlice {
  std::int64_t id = 0;  // the store's key; the merge only hands it back
  std::int64_t firstPos = 0;
  std::int64_t lastPos = 0;
  // The newest copy time merged into the stretch: orders a new stretch.
  std::int64_t orderTime = 0;
  // Disjoint, in position order.
  std::vector<LoadedRun> loaded;

  std::int64_t Size() const { return lastPos - firstPos + 1; }
  std::optional<Identity> IdentityAt(std::int64_t position) const;
};

// The device's stretches, oldest first.
struct HistorySlice {
  std::vector<StretchSlice> stretches;
};

// One valid offset of the copy against one stretch.
struct Alignment {
  std::size_t stretch = 0;  // index into HistorySlice::stretches
  std::int64_t offset = 0;  // the stretch position of the copy's record 0
  int copyLo = 0;           // the overlap, as copy indices
  int copyHi = 0;
  bool coversStart = false;  // the stretch's first record lies in the overlap
  bool coversEnd = false;    // the stretch's last record lies in the overlap
  int Overlap() const { return copyHi - copyLo + 1; }
};

// What to store.
struct MergePlan {
  // The stretch that receives the copy's new records; none: a new stretch.
  std::optional<std::size_t> target;
  // Stretches of the chain folded into the target, and how far their
  // positions move to become the target's.
  struct Fold {
    std::size_t stretch = 0;
    std::int64_t shift = 0;
  };
  std::vector<Fold> folds;
  // The position (in the target, or in the new stretch) of the copy's record 0.
  std::int64_t copyStart = 0;
  // Copy indices not stored yet, oldest first; record i goes to copyStart + i.
  std::vector<int> newIndices;
  // The target's (or the new stretch's) positions afterwards.
  std::int64_t firstPos = 0;
  std::int64_t lastPos = 0;
  std::int64_t orderTime = 0;
  // For a new stretch: its index among the stretches, oldest first.
  std::size_t newStretchIndex = 0;
  int alreadyStored = 0;
  bool gapBefore = false;
};

// Positions first to last of one stretch, both included.
struct PositionRange {
  std::int64_t lo = 0;
  std::int64_t hi = 0;
};

// A stored record whose identity equals the copy's first or last record.
struct IdentityHit {
  std::size_t stretch = 0;  // index among the device's stretches, oldest first
  std::int64_t position = 0;
};

// Damaged records (code 255) carry the same identity, whatever they were.
bool IsDamagedIdentity(Identity identity);

// The copy's oldest and newest records that are not damaged, as copy indices.
// A valid overlap that starts at the copy's start holds `first`, one that
// ends at the copy's end holds `last`, and any other is a whole stretch no
// longer than the copy. None when every record of the copy is damaged.
struct CopyAnchors {
  int first = 0;
  int last = 0;
};
std::optional<CopyAnchors> AnchorsOf(const std::vector<Identity>& copy);

// What to load of each stretch so that every valid offset can be checked,
// given the stored positions of the identities of the copy's anchors
// (`firstHits` of copy[anchors.first], `lastHits` of copy[anchors.last]).
// Per stretch, disjoint ranges in position order. `bounds` gives each
// stretch's first and last position.
std::vector<std::vector<PositionRange>> WindowsToLoad(const std::vector<PositionRange>& bounds,
                                                      int copySize, const CopyAnchors& anchors,
                                                      const std::vector<IdentityHit>& firstHits,
                                                      const std::vector<IdentityHit>& lastHits);

// Every valid offset of the copy against the loaded part of every stretch
// whose overlap lies wholly in what was loaded.
std::vector<Alignment> FindAlignments(const HistorySlice& slice, const std::vector<Identity>& copy);

// The chosen placement (indices into `alignments`, oldest stretch first);
// empty when no placement exists.
std::vector<std::size_t> ChoosePlacement(const std::vector<Alignment>& alignments, int copySize);

// The whole rule: what storing the copy means.
MergePlan PlanMerge(const HistorySlice& slice, const std::vector<Identity>& copy,
                    std::int64_t copyTime);

}  // namespace torv::history
