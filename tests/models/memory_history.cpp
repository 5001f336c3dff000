#include "models/memory_history.h"

#include "history/year_rule.h"

namespace torv::history {

ImportOutcome MemoryHistory::Import(const ArchiveCopy& copy) {
  ImportOutcome outcome;
  if (copy.records.empty()) return outcome;
  std::vector<Identity> identities;
  for (const ArchiveRecord& record : copy.records) identities.push_back(IdentityOf(record));

  std::vector<PositionRange> bounds;
  std::vector<IdentityHit> firstHits;
  std::vector<IdentityHit> lastHits;
  for (std::size_t s = 0; s < stretches_.size(); ++s) {
    const MemoryStretch& stretch = stretches_[s];
    const auto size = static_cast<std::int64_t>(stretch.records.size());
    bounds.push_back({stretch.firstPos, stretch.firstPos + size - 1});
    for (std::int64_t i = 0; i < size; ++i) {
      const Identity identity = IdentityOf(stretch.records[static_cast<std::size_t>(i)]);
      if (identity == identities.front()) firstHits.push_back({s, stretch.firstPos + i});
      if (identity == identities.back()) lastHits.push_back({s, stretch.firstPos + i});
    }
  }
  const auto windows =
      WindowsToLoad(bounds, static_cast<int>(identities.size()), firstHits, lastHits);
  HistorySlice slice;
  for (std::size_t s = 0; s < stretches_.size(); ++s) {
    StretchSlice part;
    part.id = static_cast<std::int64_t>(s);
    part.firstPos = bounds[s].lo;
    part.lastPos = bounds[s].hi;
    part.orderTime = stretches_[s].orderTime;
    for (const PositionRange& range : windows[s]) {
      LoadedRun run{range.lo, {}};
      for (std::int64_t p = range.lo; p <= range.hi; ++p) {
        run.identities.push_back(
            IdentityOf(stretches_[s].records[static_cast<std::size_t>(p - bounds[s].lo)]));
      }
      part.loaded.push_back(std::move(run));
    }
    slice.stretches.push_back(std::move(part));
  }
  const MergePlan plan = PlanMerge(slice, identities, copy.copiedAt.unixSeconds);
  const std::vector<std::optional<int>> copyYears = YearsOf(copy.records, copy.copiedAt);

  // The stretch afterwards, slot by slot.
  const auto length = static_cast<std::size_t>(plan.lastPos - plan.firstPos + 1);
  std::vector<std::optional<ArchiveRecord>> records(length);
  std::vector<std::optional<int>> years(length);
  const auto place = [&](std::int64_t position, const ArchiveRecord& record,
                         const std::optional<int>& year) {
    const auto slot = static_cast<std::size_t>(position - plan.firstPos);
    records[slot] = record;
    years[slot] = year;
  };
  const auto placeStretch = [&](std::size_t s, std::int64_t shift) {
    const MemoryStretch& stretch = stretches_[s];
    for (std::size_t i = 0; i < stretch.records.size(); ++i) {
      place(stretch.firstPos + static_cast<std::int64_t>(i) + shift, stretch.records[i],
            stretch.years[i]);
    }
  };
  if (plan.target) placeStretch(*plan.target, 0);
  for (const MergePlan::Fold& fold : plan.folds) placeStretch(fold.stretch, fold.shift);
  for (const int i : plan.newIndices) {
    const auto index = static_cast<std::size_t>(i);
    place(plan.copyStart + i, copy.records[index], copyYears[index]);
  }
  MemoryStretch merged;
  merged.firstPos = plan.firstPos;
  merged.orderTime = plan.orderTime;
  for (std::size_t slot = 0; slot < length; ++slot) {
    // Every slot is filled: the chain and the copy cover the new range.
    merged.records.push_back(records[slot].value_or(ArchiveRecord{}));
    merged.years.push_back(years[slot]);
  }

  if (plan.target) {
    std::vector<bool> folded(stretches_.size(), false);
    for (const MergePlan::Fold& fold : plan.folds) folded[fold.stretch] = true;
    std::vector<MemoryStretch> kept;
    for (std::size_t s = 0; s < stretches_.size(); ++s) {
      if (s == *plan.target) {
        kept.push_back(std::move(merged));
      } else if (!folded[s]) {
        kept.push_back(std::move(stretches_[s]));
      }
    }
    stretches_ = std::move(kept);
  } else {
    stretches_.insert(stretches_.begin() + static_cast<std::ptrdiff_t>(plan.newStretchIndex),
                      std::move(merged));
  }
  outcome.newEvents = static_cast<int>(plan.newIndices.size());
  outcome.alreadyStored = plan.alreadyStored;
  outcome.gapBefore = plan.gapBefore;
  return outcome;
}

}  // namespace torv::history
