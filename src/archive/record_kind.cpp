#include "archive/record_kind.h"

namespace torv {

std::string_view EventKindName(EventKind kind) {
  switch (kind) {
    case EventKind::kInput:
      return "input";
    case EventKind::kDevice:
      return "device";
    case EventKind::kRelay:
      return "relay";
    case EventKind::kDamaged:
      return "damaged";
    case EventKind::kOther:
      return "other";
    case EventKind::kEmpty:
      break;
  }
  return "empty";
}

std::optional<EventKind> EventKindNamed(std::string_view name) {
  for (const EventKind kind : kAllEventKinds) {
    if (EventKindName(kind) == name) return kind;
  }
  return std::nullopt;
}

bool LacksShownDate(const ArchiveRecord& record) {
  const auto missing = [](std::uint8_t value) { return value == 0 || value == kUnsetByte; };
  return missing(record.Day()) || missing(record.Month());
}

}  // namespace torv
