// Which events a query's kinds, types, codes, inputs and relays let through,
// as a condition on the events table.
#pragma once

#include <string>
#include <vector>

#include "history/history_model.h"

namespace torv::history {

// " AND ..." conditions, or empty when none of those filters is set. Every
// value is a number made here, so the condition is written out whole.
std::string SelectionCondition(const EventQuery& query);

// An event's code (byte 0 of its record): the moment's second lowest byte.
// Statements, and PostgreSQL's statistics on it, spell it the same.
inline constexpr char kCodeSql[] = "moment / 256 % 256";

// The events whose code (byte 0 of the record) is one of `codes`.
std::string CodesCondition(std::vector<int> codes);

// The events of `kind` (input or relay) whose number is one of `numbers`.
std::string NumbersCondition(EventKind kind, const std::vector<int>& numbers);

}  // namespace torv::history
