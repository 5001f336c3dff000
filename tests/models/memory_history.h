// One device's history held in memory: the rebuild's merge (MemoryMerge),
// seen as records and years per stretch, for tests, the fuzz target and the
// simulation.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "history/history_model.h"
#include "history/memory_merge.h"

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
  const std::vector<MemoryStretch>& Stretches() const;

 private:
  MemoryMerge merge_;
  std::int64_t copies_ = 0;
  // Laid out again on the first look after an import.
  mutable std::optional<std::vector<MemoryStretch>> stretches_;
};

}  // namespace torv::history
