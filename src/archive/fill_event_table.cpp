#include "archive/fill_event_table.h"

namespace torv {

void FillEventTable(ViewScreen& screen, ViewState& state,
                    const std::vector<ShownRecord>& shownRecords) {
  std::vector<EventRow> rows;
  rows.reserve(shownRecords.size() + 1);
  rows.push_back(EventTableHeader());
  for (const ShownRecord& shown : shownRecords) rows.push_back(DecodeRecord(shown.record));
  screen.SetTableRows(std::move(rows));
  screen.SetShownRecords(shownRecords);
  state.ShownRowCount = static_cast<std::int32_t>(shownRecords.size());
}

}  // namespace torv
