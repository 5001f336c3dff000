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

EventType TypeOfCode(std::uint8_t code) {
  if (code == kAlarmCode) return EventType::kAlarm;
  if (code == kWarningCode) return EventType::kWarning;
  if (code == kNormalCode) return EventType::kNormal;
  if (IsDeviceEventCode(code)) return EventType::kDevice;
  if (IsRelayEventCode(code)) return EventType::kRelay;
  if (code == kDamagedCode) return EventType::kDamaged;
  return EventType::kOther;
}

EventType TypeOf(const ArchiveRecord& record) {
  return record.IsEmpty() ? EventType::kOther : TypeOfCode(record.Code());
}

std::string_view EventTypeName(EventType type) {
  static constexpr std::string_view kNames[] = {"alarm", "warning", "normal", "device",
                                                "relay", "damaged", "other"};
  return kNames[static_cast<int>(type)];
}

std::optional<EventType> EventTypeNamed(std::string_view name) {
  for (const EventType type : kAllEventTypes) {
    if (EventTypeName(type) == name) return type;
  }
  return std::nullopt;
}

bool LacksShownDate(const ArchiveRecord& record) {
  const auto missing = [](std::uint8_t value) { return value == 0 || value == kUnsetByte; };
  return missing(record.Day()) || missing(record.Month());
}

}  // namespace torv
