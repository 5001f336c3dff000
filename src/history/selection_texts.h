// The texts the listing's selection filters are given as: a comma list of
// event kinds and types, and lists of numbers with ranges ("3,7,12-15").
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "archive/record_kind.h"
#include "archive/result.h"

namespace torv::history {

struct EventSelection {
  std::vector<EventKind> kinds;  // input, device, relay, damaged, other
  std::vector<EventType> types;  // alarm, warning, normal
};

// "input,alarm,relay,..." in any order and number, no repeats.
Result<EventSelection> ParseEventSelection(std::string_view text);

// Numbers and ranges "N" and "N-M" from `first` to `last`, comma between
// them: every number once, in order.
Result<std::vector<int>> ParseNumberList(std::string_view text, int first, int last);

// The numbers as ParseNumberList reads them, runs of three or more as ranges
// with an en dash: "3, 7, 12–15".
std::string NumberListText(const std::vector<int>& numbers);

}  // namespace torv::history
