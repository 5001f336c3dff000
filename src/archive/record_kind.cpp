#include "archive/record_kind.h"

namespace torv {

EventKind KindOf(const ArchiveRecord& record) {
  const std::uint8_t code = record.Code();
  if (code == kDamagedCode) return EventKind::kDamaged;
  if (record.IsEmpty()) return EventKind::kEmpty;
  if (IsInputEventCode(code)) return EventKind::kInput;
  if (IsDeviceEventCode(code)) return EventKind::kDevice;
  if (IsRelayEventCode(code)) return EventKind::kRelay;
  return EventKind::kOther;
}

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

std::optional<int> InputNumberOf(const ArchiveRecord& record) {
  if (KindOf(record) != EventKind::kInput) return std::nullopt;
  return NumberBehindByte1(record);
}

std::optional<int> RelayNumberOf(const ArchiveRecord& record) {
  if (KindOf(record) != EventKind::kRelay) return std::nullopt;
  return NumberBehindByte1(record);
}

bool HasUnsetTime(const ArchiveRecord& record) {
  return record.Hours() == kUnsetByte && record.Minutes() == kUnsetByte &&
         record.Seconds() == kUnsetByte;
}

bool HasUnsetDate(const ArchiveRecord& record) {
  return record.Day() == kUnsetByte && record.Month() == kUnsetByte;
}

bool LacksShownDate(const ArchiveRecord& record) {
  const auto missing = [](std::uint8_t value) { return value == 0 || value == kUnsetByte; };
  return missing(record.Day()) || missing(record.Month());
}

}  // namespace torv
