// The texts a listing's filters are given as: dates YYYY-MM-DD or DD.MM.YYYY and a comma
// list of event kinds.
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

// "input,device,relay,damaged,other" in any order and number, no repeats.
Result<std::vector<EventKind>> ParseEventKinds(std::string_view text);

}  // namespace torv::history
