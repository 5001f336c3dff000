#include "archive/fill_event_table.h"

namespace torv {

void FillEventTable(ViewScreen& screen, std::vector<ViewRow>&& rows) {
  std::vector<EventRow> table;
  table.reserve(rows.size() + 1);
  table.push_back(EventTableHeader());
  for (ViewRow& row : rows) table.push_back(std::move(row.cells));
  screen.SetTableRows(std::move(table));
}

void FillEventTable(ViewScreen& screen, const std::vector<ViewRow>& rows) {
  FillEventTable(screen, std::vector<ViewRow>(rows));
}

}  // namespace torv
