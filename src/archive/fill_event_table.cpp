#include "archive/fill_event_table.h"

namespace torv {

void FillEventTable(ViewScreen& screen, const std::vector<ViewRow>& rows) {
  std::vector<EventRow> table;
  table.reserve(rows.size() + 1);
  table.push_back(EventTableHeader());
  for (const ViewRow& row : rows) table.push_back(row.cells);
  screen.SetTableRows(std::move(table));
}

}  // namespace torv
