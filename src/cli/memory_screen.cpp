#include "cli/memory_screen.h"

namespace torv {
namespace {

constexpr char kInitialStatus[] = "Документирование";
constexpr int kInitialRowCount = 1 + kRecordsPerBlock;

}  // namespace

MemoryScreen::MemoryScreen() : status_(kInitialStatus), rows_(kInitialRowCount) {}

EventRow MemoryScreen::TableRow(int row) const {
  if (row < 0 || static_cast<std::size_t>(row) >= rows_.size()) return {};
  return rows_[static_cast<std::size_t>(row)];
}

}  // namespace torv
