// The texts a listing's period is given as: dates YYYY-MM-DD or DD.MM.YYYY
// (selection_texts.h has the others).
#pragma once

#include <string_view>
#include <vector>

#include "archive/record_kind.h"
#include "archive/result.h"
#include "history/history_model.h"

namespace torv::history {

// "YYYY-MM-DD" or "DD.MM.YYYY", a real calendar date.
Result<CalendarDate> ParseCalendarDate(std::string_view text);
// Whether the month has that day in that year.
bool IsCalendarDate(const CalendarDate& date);

}  // namespace torv::history
