// Writing a view into the event table.
#pragma once

#include <vector>

#include "archive/archive_format.h"
#include "archive/view_screen.h"
#include "archive/view_state.h"

namespace torv {

// Writes the header row and one decoded row per record, newest first, and sets
// ShownRowCount to the number of records.
void FillEventTable(ViewScreen& screen, ViewState& state,
                    const std::vector<ShownRecord>& shownRecords);

}  // namespace torv
