#include "history/merge.h"

#include <algorithm>
#include <iterator>
#include <set>

namespace torv::history {

std::optional<Identity> StretchSlice::IdentityAt(std::int64_t position) const {
  // The last run starting at or before the position holds it, if any does.
  const auto after =
      std::upper_bound(loaded.begin(), loaded.end(), position,
                       [](std::int64_t p, const LoadedRun& run) { return p < run.start; });
  if (after == loaded.begin()) return std::nullopt;
  const LoadedRun& run = *std::prev(after);
  const std::int64_t index = position - run.start;
  if (index >= static_cast<std::int64_t>(run.identities.size())) return std::nullopt;
  return run.identities[static_cast<std::size_t>(index)];
}

namespace {

// The offsets worth checking: every valid overlap holds one of the copy's
// anchors, or the whole stretch (and so the stretch's first record).
std::set<std::int64_t> CandidateOffsets(const StretchSlice& stretch,
                                        const std::vector<Identity>& copy) {
  const auto size = static_cast<std::int64_t>(copy.size());
  std::set<std::int64_t> offsets;
  if (const std::optional<CopyAnchors> anchors = AnchorsOf(copy)) {
    const Identity first = copy[static_cast<std::size_t>(anchors->first)];
    const Identity last = copy[static_cast<std::size_t>(anchors->last)];
    for (const LoadedRun& run : stretch.loaded) {
      for (std::size_t i = 0; i < run.identities.size(); ++i) {
        const std::int64_t position = run.start + static_cast<std::int64_t>(i);
        if (run.identities[i] == first) offsets.insert(position - anchors->first);
        if (run.identities[i] == last) offsets.insert(position - anchors->last);
      }
    }
  }
  if (stretch.Size() <= size) {
    if (const std::optional<Identity> first = stretch.IdentityAt(stretch.firstPos)) {
      for (std::int64_t i = 0; i < size; ++i) {
        if (copy[static_cast<std::size_t>(i)] == *first) offsets.insert(stretch.firstPos - i);
      }
    }
  }
  return offsets;
}

std::optional<Alignment> CheckOffset(const StretchSlice& stretch, std::size_t index,
                                     const std::vector<Identity>& copy, std::int64_t offset) {
  const auto size = static_cast<std::int64_t>(copy.size());
  const std::int64_t lo = std::max(offset, stretch.firstPos);
  const std::int64_t hi = std::min(offset + size - 1, stretch.lastPos);
  if (lo > hi) return std::nullopt;
  bool telling = false;
  for (std::int64_t position = lo; position <= hi; ++position) {
    const std::optional<Identity> stored = stretch.IdentityAt(position);
    if (!stored || *stored != copy[static_cast<std::size_t>(position - offset)]) {
      return std::nullopt;
    }
    telling = telling || !IsDamagedIdentity(*stored);
  }
  if (!telling) return std::nullopt;
  Alignment alignment;
  alignment.stretch = index;
  alignment.offset = offset;
  alignment.copyLo = static_cast<int>(lo - offset);
  alignment.copyHi = static_cast<int>(hi - offset);
  alignment.coversStart = lo == stretch.firstPos;
  alignment.coversEnd = hi == stretch.lastPos;
  return alignment;
}

// A chain of alignments, oldest stretch first, with its coinciding records.
struct Chain {
  std::vector<std::size_t> links;
  int overlap = 0;
};

// True when `a` wins over `b`: more coinciding records, then later from the
// newest end (stretch, then offset).
bool Better(const Chain& a, const Chain& b, const std::vector<Alignment>& alignments) {
  if (a.overlap != b.overlap) return a.overlap > b.overlap;
  auto ia = a.links.rbegin();
  auto ib = b.links.rbegin();
  for (; ia != a.links.rend() && ib != b.links.rend(); ++ia, ++ib) {
    const Alignment& x = alignments[*ia];
    const Alignment& y = alignments[*ib];
    if (x.stretch != y.stretch) return x.stretch > y.stretch;
    if (x.offset != y.offset) return x.offset > y.offset;
  }
  return a.links.size() > b.links.size();
}

}  // namespace

bool IsDamagedIdentity(Identity identity) {
  // Byte 0, the code, is the identity's highest byte.
  return (identity >> 48) == kDamagedCode;
}

std::optional<CopyAnchors> AnchorsOf(const std::vector<Identity>& copy) {
  const auto first = std::find_if_not(copy.begin(), copy.end(), IsDamagedIdentity);
  if (first == copy.end()) return std::nullopt;
  const auto last = std::find_if_not(copy.rbegin(), copy.rend(), IsDamagedIdentity);
  return CopyAnchors{static_cast<int>(first - copy.begin()),
                     static_cast<int>(copy.rend() - last) - 1};
}

std::vector<std::vector<PositionRange>> WindowsToLoad(const std::vector<PositionRange>& bounds,
                                                      int copySize, const CopyAnchors& anchors,
                                                      const std::vector<IdentityHit>& firstHits,
                                                      const std::vector<IdentityHit>& lastHits) {
  std::vector<std::vector<PositionRange>> wanted(bounds.size());
  // The copy laid with its anchor on the hit: the positions its records cover.
  const auto cover = [&](const IdentityHit& hit, int anchor) {
    wanted[hit.stretch].push_back({hit.position - anchor, hit.position - anchor + copySize - 1});
  };
  for (const IdentityHit& hit : firstHits) cover(hit, anchors.first);
  for (const IdentityHit& hit : lastHits) cover(hit, anchors.last);
  std::vector<std::vector<PositionRange>> windows(bounds.size());
  for (std::size_t s = 0; s < bounds.size(); ++s) {
    const PositionRange& stretch = bounds[s];
    std::vector<PositionRange>& ranges = wanted[s];
    if (stretch.hi - stretch.lo + 1 <= copySize) ranges.push_back(stretch);
    for (PositionRange& range : ranges) {
      range.lo = std::max(range.lo, stretch.lo);
      range.hi = std::min(range.hi, stretch.hi);
    }
    std::sort(ranges.begin(), ranges.end(),
              [](const PositionRange& a, const PositionRange& b) { return a.lo < b.lo; });
    for (const PositionRange& range : ranges) {
      if (range.lo > range.hi) continue;
      if (!windows[s].empty() && range.lo <= windows[s].back().hi + 1) {
        windows[s].back().hi = std::max(windows[s].back().hi, range.hi);
      } else {
        windows[s].push_back(range);
      }
    }
  }
  return windows;
}

std::vector<Alignment> FindAlignments(const HistorySlice& slice,
                                      const std::vector<Identity>& copy) {
  std::vector<Alignment> alignments;
  if (copy.empty()) return alignments;
  for (std::size_t s = 0; s < slice.stretches.size(); ++s) {
    const StretchSlice& stretch = slice.stretches[s];
    for (const std::int64_t offset : CandidateOffsets(stretch, copy)) {
      if (std::optional<Alignment> found = CheckOffset(stretch, s, copy, offset)) {
        alignments.push_back(*found);
      }
    }
  }
  return alignments;
}

std::vector<std::size_t> ChoosePlacement(const std::vector<Alignment>& alignments, int copySize) {
  // Alignments in stretch order; a chain steps from one stretch to the next.
  std::vector<std::size_t> order(alignments.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return alignments[a].stretch < alignments[b].stretch;
  });

  // open[i]: the best chain ending at alignment i that a later stretch may
  // continue (i ends its stretch inside the copy, with copy records after it).
  std::vector<std::optional<Chain>> open(alignments.size());
  std::optional<Chain> best;
  for (const std::size_t i : order) {
    const Alignment& a = alignments[i];
    std::optional<Chain> extended;
    if (a.coversStart && a.copyLo > 0) {
      for (const std::size_t j : order) {
        const Alignment& before = alignments[j];
        if (before.stretch + 1 != a.stretch || !open[j] || before.copyHi >= a.copyLo) continue;
        Chain chain = *open[j];
        chain.links.push_back(i);
        chain.overlap += a.Overlap();
        if (!extended || Better(chain, *extended, alignments)) extended = std::move(chain);
      }
    }
    const Chain alone{{i}, a.Overlap()};
    const Chain& ending = extended ? *extended : alone;
    if (!best || Better(ending, *best, alignments)) best = ending;
    if (a.coversEnd && a.copyHi < copySize - 1) {
      // A middle link must be the whole stretch; a first link may start anywhere.
      open[i] = ending;
    }
  }
  return best ? best->links : std::vector<std::size_t>{};
}

MergePlan PlanMerge(const HistorySlice& slice, const std::vector<Identity>& copy,
                    std::int64_t copyTime) {
  MergePlan plan;
  plan.orderTime = copyTime;
  const int size = static_cast<int>(copy.size());
  if (size == 0) return plan;
  const std::vector<Alignment> alignments = FindAlignments(slice, copy);
  const std::vector<std::size_t> links = ChoosePlacement(alignments, size);

  if (links.empty()) {
    std::size_t index = 0;
    while (index < slice.stretches.size() && slice.stretches[index].orderTime <= copyTime) ++index;
    plan.newStretchIndex = index;
    plan.copyStart = 0;
    plan.firstPos = 0;
    plan.lastPos = size - 1;
    for (int i = 0; i < size; ++i) plan.newIndices.push_back(i);
    plan.gapBefore = !slice.stretches.empty();
    return plan;
  }

  // The largest stretch of the chain keeps its positions; the others move.
  std::size_t target = links.front();
  for (const std::size_t link : links) {
    if (slice.stretches[alignments[link].stretch].Size() >
        slice.stretches[alignments[target].stretch].Size()) {
      target = link;
    }
  }
  const std::int64_t start = alignments[target].offset;
  plan.target = alignments[target].stretch;
  plan.copyStart = start;
  std::vector<bool> stored(static_cast<std::size_t>(size), false);
  plan.firstPos = start;
  plan.lastPos = start + size - 1;
  for (const std::size_t link : links) {
    const Alignment& a = alignments[link];
    const StretchSlice& stretch = slice.stretches[a.stretch];
    const std::int64_t shift = start - a.offset;
    if (link != target) plan.folds.push_back({a.stretch, shift});
    for (int i = a.copyLo; i <= a.copyHi; ++i) stored[static_cast<std::size_t>(i)] = true;
    plan.firstPos = std::min(plan.firstPos, stretch.firstPos + shift);
    plan.lastPos = std::max(plan.lastPos, stretch.lastPos + shift);
    plan.orderTime = std::max(plan.orderTime, stretch.orderTime);
  }
  for (int i = 0; i < size; ++i) {
    if (!stored[static_cast<std::size_t>(i)]) plan.newIndices.push_back(i);
  }
  plan.alreadyStored = size - static_cast<int>(plan.newIndices.size());
  return plan;
}

}  // namespace torv::history
