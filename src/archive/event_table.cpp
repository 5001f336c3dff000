#include "archive/event_table.h"

#include "archive/record_kind.h"

namespace torv {
namespace {

// Input events (codes 0 to 2), then device events (codes 3 to 16).
constexpr std::string_view kEventTexts[] = {
    "Норма           ",  // 0
    "Пред. сигн.     ",  // 1
    "Авар. сигн. ",      // 2
    "Включение  ИМ",     // 3
    "Отключение ИМ",     // 4
    "Включен. блок",     // 5
    "Отключ. блок",      // 6
    "Включ.  устр",      // 7
    "Отказ   МВДИ1",     // 8
    "Отказ   МВДИ2",     // 9
    "Отказ   МР1  ",     // 10
    "Отказ   МР2  ",     // 11
    "Отказ   МИнд ",     // 12
    "Отказ   МВИ  ",     // 13
    "Отказ   МВАИ1",     // 14
    "Отказ   МВАИ2",     // 15
    "Программир. ",      // 16
};
static_assert(std::size(kEventTexts) == kLastDeviceCode + 1);
// Writes a record byte with at least two digits; returns the end.
char* WriteTwoDigits(char* out, std::uint8_t value) {
  if (value >= 100) *out++ = static_cast<char>('0' + value / 100);
  *out++ = static_cast<char>('0' + value / 10 % 10);
  *out++ = static_cast<char>('0' + value % 10);
  return out;
}

char* WriteTime(char* out, std::uint8_t hours, std::uint8_t minutes, std::uint8_t seconds) {
  out = WriteTwoDigits(out, hours);
  *out++ = ':';
  out = WriteTwoDigits(out, minutes);
  *out++ = ':';
  return WriteTwoDigits(out, seconds);
}

char* WriteDate(char* out, std::uint8_t day, std::uint8_t month) {
  out = WriteTwoDigits(out, day);
  *out++ = '.';
  return WriteTwoDigits(out, month);
}

std::string_view FormatTimeDateInto(const ArchiveRecord& record, TimeDateBuffer& buffer) {
  if (HasUnsetTime(record) && HasUnsetDate(record)) return {};
  char* end = WriteTime(buffer.data(), record.Hours(), record.Minutes(), record.Seconds());
  *end++ = ' ';
  end = WriteDate(end, record.Day(), record.Month());
  return std::string_view(buffer.data(), static_cast<std::size_t>(end - buffer.data()));
}

}  // namespace

const EventRow& EventTableHeader() {
  static const EventRow header{"Событие", "Номер входа", " Время", "Дата"};
  return header;
}

std::string_view EventTextTable(std::uint8_t code) {
  if (code < std::size(kEventTexts)) return kEventTexts[code];
  if (code == kRelayOffCode) return "Отключение реле";
  if (code == kRelayOnCode) return "Включение реле";
  return {};
}

std::string FormatTwoDigits(int value) {
  std::string text = std::to_string(value);
  if (text.size() < 2) text.insert(0, 1, '0');
  return text;
}

std::string FormatTimeDate(std::uint8_t hours, std::uint8_t minutes, std::uint8_t seconds,
                           std::uint8_t day, std::uint8_t month) {
  ArchiveRecord record;
  record.bytes[kHoursByte] = hours;
  record.bytes[kMinutesByte] = minutes;
  record.bytes[kSecondsByte] = seconds;
  record.bytes[kDayByte] = day;
  record.bytes[kMonthByte] = month;
  return FormatTimeDate(record);
}

std::string FormatTimeDate(const ArchiveRecord& record) {
  TimeDateBuffer buffer;
  return std::string(FormatTimeDate(record, buffer));
}

std::string_view FormatTimeDate(const ArchiveRecord& record, TimeDateBuffer& buffer) {
  return FormatTimeDateInto(record, buffer);
}

EventRow DecodeRecord(const ArchiveRecord& record) {
  const EventKind kind = KindOf(record);
  if (kind == EventKind::kDamaged) return {std::string(kDamagedRecordText), "", "", ""};
  if (kind == EventKind::kEmpty) return {};

  EventRow row;
  row[0] = EventTextTable(record.Code());
  if (kind == EventKind::kInput) {
    row[1] = std::to_string(NumberBehindByte1(record)) + std::string(kNoNumberText);
  } else if (kind == EventKind::kRelay) {
    row[1] = std::string(kRelayPrefix) + std::to_string(NumberBehindByte1(record));
  } else {
    row[1] = kNoNumberText;
  }

  // Each field is blanked only when all of its bytes are unset.
  if (HasUnsetTime(record)) {
    row[2] = kUnsetTimeText;
  } else {
    char time[11];
    char* end = WriteTime(time, record.Hours(), record.Minutes(), record.Seconds());
    row[2].assign(time, static_cast<std::size_t>(end - time));
  }
  if (!HasUnsetDate(record)) {
    char date[7];
    char* end = WriteDate(date, record.Day(), record.Month());
    row[3].assign(date, static_cast<std::size_t>(end - date));
  }
  return row;
}

}  // namespace torv
