#include "archive/fill_event_table.h"

namespace torv {

void FillEventTable(ViewScreen& screen, ViewState& state,
                    const std::vector<ArchiveRecord>& shownRecords) {
  std::vector<EventRow> rows;
  rows.reserve(shownRecords.size() + 1);
  rows.push_back(EventTableHeader());
  for (const ArchiveRecord& record : shownRecords) rows.push_back(DecodeRecord(record));
  screen.SetTableRows(std::move(rows));
  state.ShownRowCount = static_cast<std::int32_t>(shownRecords.size());
}

}  // namespace torv
