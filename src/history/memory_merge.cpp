#include "history/memory_merge.h"

#include <algorithm>
#include <functional>

#include "history/year_rule.h"

namespace torv::history {

MemoryMerge::Place MemoryMerge::Resolve(Place place) const {
  while (const std::optional<Forward>& forward = forwards_[static_cast<std::size_t>(place.key)]) {
    place = {forward->into, place.position + forward->shift};
  }
  return place;
}

std::vector<IdentityHit> MemoryMerge::Hits(Identity identity) const {
  std::vector<IdentityHit> hits;
  const auto [from, to] = places_.equal_range(identity);
  for (auto it = from; it != to; ++it) {
    const Place place = Resolve(it->second);
    const auto stretch = std::find(keys_.begin(), keys_.end(), place.key);
    hits.push_back({static_cast<std::size_t>(stretch - keys_.begin()), place.position});
  }
  return hits;
}

HistorySlice MemoryMerge::Slice(const std::vector<Identity>& copy) const {
  std::vector<PositionRange> bounds;
  for (const MergedStretch& stretch : stretches_) {
    bounds.push_back({stretch.firstPos, stretch.LastPos()});
  }
  const std::optional<CopyAnchors> anchors = AnchorsOf(copy);
  std::vector<IdentityHit> firstHits;
  std::vector<IdentityHit> lastHits;
  if (anchors) {
    firstHits = Hits(copy[static_cast<std::size_t>(anchors->first)]);
    lastHits = Hits(copy[static_cast<std::size_t>(anchors->last)]);
  }
  const std::vector<std::vector<PositionRange>> windows = WindowsToLoad(
      bounds, static_cast<int>(copy.size()), anchors.value_or(CopyAnchors{}), firstHits, lastHits);
  HistorySlice slice;
  for (std::size_t s = 0; s < stretches_.size(); ++s) {
    const MergedStretch& stretch = stretches_[s];
    StretchSlice part;
    part.id = keys_[s];
    part.firstPos = stretch.firstPos;
    part.lastPos = stretch.LastPos();
    part.orderTime = stretch.orderTime;
    for (const PositionRange& range : windows[s]) {
      LoadedRun run{range.lo, {}};
      for (std::int64_t p = range.lo; p <= range.hi; ++p) {
        run.identities.push_back(
            IdentityOf(stretch.events[static_cast<std::size_t>(p - stretch.firstPos)].record));
      }
      part.loaded.push_back(std::move(run));
    }
    slice.stretches.push_back(std::move(part));
  }
  return slice;
}

MergePlan MemoryMerge::Add(const ArchiveCopy& copy, std::int64_t copyId) {
  if (copy.records.empty()) return {};
  std::vector<Identity> identities;
  identities.reserve(copy.records.size());
  for (const ArchiveRecord& record : copy.records) identities.push_back(IdentityOf(record));
  const MergePlan plan = PlanMerge(Slice(identities), identities, copy.copiedAt.unixSeconds);
  const std::vector<std::optional<int>> years = YearsOf(copy.records, copy.copiedAt);

  std::size_t at = 0;
  if (plan.target) {
    at = *plan.target;
  } else {
    at = plan.newStretchIndex;
    stretches_.insert(stretches_.begin() + static_cast<std::ptrdiff_t>(at),
                      MergedStretch{plan.firstPos, 0, {}});
    keys_.insert(keys_.begin() + static_cast<std::ptrdiff_t>(at),
                 static_cast<std::int64_t>(forwards_.size()));
    forwards_.emplace_back();
  }
  const std::int64_t key = keys_[at];
  MergedStretch& target = stretches_[at];
  // The stretch grows to the plan's range; the chain and the copy fill it.
  for (; target.firstPos > plan.firstPos; --target.firstPos) target.events.emplace_front();
  while (target.LastPos() < plan.lastPos) target.events.emplace_back();
  const auto slot = [&](std::int64_t position) -> MergedEvent& {
    return target.events[static_cast<std::size_t>(position - target.firstPos)];
  };
  for (const MergePlan::Fold& fold : plan.folds) {
    const MergedStretch& folded = stretches_[fold.stretch];
    for (std::size_t i = 0; i < folded.events.size(); ++i) {
      slot(folded.firstPos + static_cast<std::int64_t>(i) + fold.shift) = folded.events[i];
    }
    forwards_[static_cast<std::size_t>(keys_[fold.stretch])] = Forward{key, fold.shift};
  }
  for (const int index : plan.newIndices) {
    const auto i = static_cast<std::size_t>(index);
    const std::int64_t position = plan.copyStart + index;
    slot(position) = {copy.records[i], years[i], copyId};
    places_.emplace(identities[i], Place{key, position});
  }
  target.orderTime = plan.orderTime;

  std::vector<std::size_t> folded;
  for (const MergePlan::Fold& fold : plan.folds) folded.push_back(fold.stretch);
  std::sort(folded.begin(), folded.end(), std::greater<>());
  for (const std::size_t s : folded) {
    stretches_.erase(stretches_.begin() + static_cast<std::ptrdiff_t>(s));
    keys_.erase(keys_.begin() + static_cast<std::ptrdiff_t>(s));
  }
  return plan;
}

}  // namespace torv::history
