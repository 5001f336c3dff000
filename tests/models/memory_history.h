// One device's history held in memory, merged by the same rule and the same
// windows as the stores: for tests, the fuzz target and the simulation.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "history/history_model.h"
#include "history/merge.h"

namespace torv::history {

struct MemoryStretch {
  std::int64_t firstPos = 0;
  std::int64_t orderTime = 0;
  std::vector<ArchiveRecord> records;
  std::vector<std::optional<int>> years;
};

class MemoryHistory {
 public:
  ImportOutcome Import(const ArchiveCopy& copy);
  // Oldest first.
  const std::vector<MemoryStretch>& Stretches() const { return stretches_; }

 private:
  std::vector<MemoryStretch> stretches_;
};

}  // namespace torv::history
