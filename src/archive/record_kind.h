// What a record is. The one place that knows which event codes mean what and
// when a record's time or date counts as unset; the engine, the decoder, the
// exports, the summary and the history all ask here instead of comparing
// bytes themselves.
//
// Codes (byte 0):
//   0, 1, 2    input events: back to normal, warning signal, alarm signal;
//              byte 1 holds the input number - 1
//   3 to 16    device events: switching, module failures, programming
//   50, 51     relay events: relay off, relay on; byte 1 holds the relay
//              number - 1
//   255        damaged record: its other bytes mean nothing
//   any other  an event without text
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "archive/archive_format.h"

namespace torv {

inline constexpr std::uint8_t kNormalCode = 0;
inline constexpr std::uint8_t kWarningCode = 1;
inline constexpr std::uint8_t kAlarmCode = 2;
inline constexpr std::uint8_t kFirstDeviceCode = 3;
inline constexpr std::uint8_t kLastDeviceCode = 16;
inline constexpr std::uint8_t kRelayOffCode = 50;
inline constexpr std::uint8_t kRelayOnCode = 51;
// kDamagedCode (255) is part of the file format: archive_format.h.

constexpr bool IsInputEventCode(std::uint8_t code) {
  return code <= kAlarmCode;
}
constexpr bool IsDeviceEventCode(std::uint8_t code) {
  return code >= kFirstDeviceCode && code <= kLastDeviceCode;
}
constexpr bool IsRelayEventCode(std::uint8_t code) {
  return code == kRelayOffCode || code == kRelayOnCode;
}

enum class EventKind {
  kInput,    // codes 0, 1, 2
  kDevice,   // codes 3 to 16
  kRelay,    // codes 50, 51
  kDamaged,  // code 255, whatever the other bytes hold
  kOther,    // any other code: an event without text
  kEmpty,    // bytes 0 to 6 all zero: a slot never written
};
inline constexpr EventKind kAllEventKinds[] = {EventKind::kInput, EventKind::kDevice,
                                               EventKind::kRelay, EventKind::kDamaged,
                                               EventKind::kOther, EventKind::kEmpty};

// A damaged record is damaged first; an empty one is empty before its code
// (code 0) could make it an input event. Inline, as every decoded row and
// every record an input view visits asks.
inline EventKind KindOf(const ArchiveRecord& record) {
  const std::uint8_t code = record.Code();
  if (code == kDamagedCode) return EventKind::kDamaged;
  if (record.IsEmpty()) return EventKind::kEmpty;
  if (IsInputEventCode(code)) return EventKind::kInput;
  if (IsDeviceEventCode(code)) return EventKind::kDevice;
  if (IsRelayEventCode(code)) return EventKind::kRelay;
  return EventKind::kOther;
}

// What an event is, as the history's listings, filters, chart and statistics
// tell it: an input event by what it reports, every other kind as it is.
enum class EventType { kAlarm, kWarning, kNormal, kDevice, kRelay, kDamaged, kOther };
inline constexpr EventType kAllEventTypes[] = {
    EventType::kAlarm, EventType::kWarning, EventType::kNormal, EventType::kDevice,
    EventType::kRelay, EventType::kDamaged, EventType::kOther};
// An empty record (never stored) counts as other.
EventType TypeOf(const ArchiveRecord& record);
// The type of a record of this code that is not empty.
EventType TypeOfCode(std::uint8_t code);
// "alarm", "warning", "normal", "device", "relay", "damaged", "other".
std::string_view EventTypeName(EventType type);
std::optional<EventType> EventTypeNamed(std::string_view name);

// "input", "device", "relay", "damaged", "other", "empty": the names the
// exports and the command line use.
std::string_view EventKindName(EventKind kind);
std::optional<EventKind> EventKindNamed(std::string_view name);

// The number byte 1 stands for: the byte plus one (byte 0 is input or relay 1).
inline int NumberBehindByte1(const ArchiveRecord& record) {
  return record.Number() + 1;
}
// The input of an input event, the relay of a relay event; nothing for any
// other kind (empty and damaged records included).
inline std::optional<int> InputNumberOf(const ArchiveRecord& record) {
  if (KindOf(record) != EventKind::kInput) return std::nullopt;
  return NumberBehindByte1(record);
}
inline std::optional<int> RelayNumberOf(const ArchiveRecord& record) {
  if (KindOf(record) != EventKind::kRelay) return std::nullopt;
  return NumberBehindByte1(record);
}

// Hours, minutes and seconds all 255: the table blanks the time.
inline bool HasUnsetTime(const ArchiveRecord& record) {
  return record.Hours() == kUnsetByte && record.Minutes() == kUnsetByte &&
         record.Seconds() == kUnsetByte;
}
// Day and month both 255: the table blanks the date.
inline bool HasUnsetDate(const ArchiveRecord& record) {
  return record.Day() == kUnsetByte && record.Month() == kUnsetByte;
}
// Day or month alone 255: the date search treats the record as having no date
// (ArchiveRecord::HasNoDate).
// Day or month 0 or 255: the step status line leaves the time-date text out.
bool LacksShownDate(const ArchiveRecord& record);

}  // namespace torv
