#include "models/memory_history.h"

namespace torv::history {

ImportOutcome MemoryHistory::Import(const ArchiveCopy& copy) {
  const MergePlan plan = merge_.Add(copy, ++copies_);
  stretches_.reset();
  ImportOutcome outcome;
  outcome.newEvents = static_cast<int>(plan.newIndices.size());
  outcome.alreadyStored = plan.alreadyStored;
  outcome.gapBefore = plan.gapBefore;
  return outcome;
}

const std::vector<MemoryStretch>& MemoryHistory::Stretches() const {
  if (stretches_) return *stretches_;
  stretches_.emplace();
  for (const MergedStretch& merged : merge_.Stretches()) {
    MemoryStretch stretch{merged.firstPos, merged.orderTime, {}, {}};
    for (const MergedEvent& event : merged.events) {
      stretch.records.push_back(event.record);
      stretch.years.push_back(event.year);
    }
    stretches_->push_back(std::move(stretch));
  }
  return *stretches_;
}

}  // namespace torv::history
