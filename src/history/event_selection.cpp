#include "history/event_selection.h"

#include <algorithm>

#include "history/stored_columns.h"

namespace torv::history {
std::string NumbersCondition(EventKind kind, const std::vector<int>& numbers) {
  std::string list;
  for (const int number : numbers) list += (list.empty() ? "" : ", ") + std::to_string(number);
  return "(kind = " + std::to_string(KindCode(kind)) + " AND number IN (" + list + "))";
}

namespace {

// The code of an input event's type; -1 for a type that is a kind of its own.
int CodeOfType(EventType type) {
  switch (type) {
    case EventType::kAlarm:
      return kAlarmCode;
    case EventType::kWarning:
      return kWarningCode;
    case EventType::kNormal:
      return kNormalCode;
    default:
      return -1;
  }
}

EventKind KindOfType(EventType type) {
  switch (type) {
    case EventType::kDevice:
      return EventKind::kDevice;
    case EventType::kRelay:
      return EventKind::kRelay;
    case EventType::kDamaged:
      return EventKind::kDamaged;
    case EventType::kOther:
      return EventKind::kOther;
    default:
      return EventKind::kInput;
  }
}

std::string Alternatives(const std::vector<std::string>& alternatives) {
  std::string sql;
  for (const std::string& alternative : alternatives) {
    sql += (sql.empty() ? "" : " OR ") + alternative;
  }
  return " AND (" + sql + ")";
}

}  // namespace

std::string CodesCondition(std::vector<int> codes) {
  std::sort(codes.begin(), codes.end());
  codes.erase(std::unique(codes.begin(), codes.end()), codes.end());
  if (codes.empty()) return "1 = 0";
  std::string list;
  for (const int code : codes) list += (list.empty() ? "" : ", ") + std::to_string(code);
  return std::string("(") + kCodeSql + " IN (" + list + "))";
}

std::string SelectionCondition(const EventQuery& query) {
  std::string sql;
  if (!query.kinds.empty() || !query.types.empty()) {
    std::vector<EventKind> kinds = query.kinds;
    std::vector<int> inputCodes;
    for (const EventType type : query.types) {
      const int code = CodeOfType(type);
      if (code >= 0) {
        inputCodes.push_back(code);
      } else {
        kinds.push_back(KindOfType(type));
      }
    }
    std::vector<std::string> alternatives;
    if (!kinds.empty()) {
      std::string list;
      for (const EventKind kind : kinds) {
        list += (list.empty() ? "" : ", ") + std::to_string(KindCode(kind));
      }
      alternatives.push_back("kind IN (" + list + ")");
    }
    if (!inputCodes.empty()) alternatives.push_back(CodesCondition(inputCodes));
    sql += Alternatives(alternatives);
  }
  if (!query.codes.empty()) sql += " AND " + CodesCondition(query.codes);
  std::vector<int> inputs = query.inputs;
  if (query.input) inputs.push_back(*query.input);
  std::vector<std::string> numbers;
  if (!inputs.empty()) numbers.push_back(NumbersCondition(EventKind::kInput, inputs));
  if (!query.relays.empty()) numbers.push_back(NumbersCondition(EventKind::kRelay, query.relays));
  if (!numbers.empty()) sql += Alternatives(numbers);
  return sql;
}

}  // namespace torv::history
