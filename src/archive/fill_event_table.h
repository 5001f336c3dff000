// Writing a view into the event table.
#pragma once

#include <vector>

#include "archive/view_outcome.h"
#include "archive/view_screen.h"

namespace torv {

// Writes the header row and one row per record, newest first: the table
// then has rows.size() + 1 rows. The rows' cells are moved to the screen.
void FillEventTable(ViewScreen& screen, std::vector<ViewRow>&& rows);
void FillEventTable(ViewScreen& screen, const std::vector<ViewRow>& rows);

}  // namespace torv
