#include "cli/memory_screen.h"

namespace torv {

MemoryScreen::MemoryScreen() : status_(kStartStatusText), rows_(kStartTableRowCount) {}

EventRow MemoryScreen::TableRow(int row) const {
  if (row < 0 || static_cast<std::size_t>(row) >= rows_.size()) return {};
  return rows_[static_cast<std::size_t>(row)];
}

}  // namespace torv
