#include "archive/event_table.h"

namespace torv {
namespace {

constexpr std::string_view kDeviceEventTexts[] = {
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
constexpr std::uint8_t kRelayOffCode = 50;
constexpr std::uint8_t kRelayOnCode = 51;

bool IsInputEvent(std::uint8_t code) {
  return code <= 2;
}
bool IsRelayEvent(std::uint8_t code) {
  return code == kRelayOffCode || code == kRelayOnCode;
}

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

std::string_view FormatTimeDateInto(std::uint8_t hours, std::uint8_t minutes, std::uint8_t seconds,
                                    std::uint8_t day, std::uint8_t month, TimeDateBuffer& buffer) {
  if (hours == kUnsetByte && minutes == kUnsetByte && seconds == kUnsetByte && day == kUnsetByte &&
      month == kUnsetByte) {
    return {};
  }
  char* end = WriteTime(buffer.data(), hours, minutes, seconds);
  *end++ = ' ';
  end = WriteDate(end, day, month);
  return std::string_view(buffer.data(), static_cast<std::size_t>(end - buffer.data()));
}

}  // namespace

const EventRow& EventTableHeader() {
  static const EventRow header{"Событие", "Номер входа", " Время", "Дата"};
  return header;
}

std::string_view EventTextTable(std::uint8_t code) {
  if (code < std::size(kDeviceEventTexts)) return kDeviceEventTexts[code];
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
  TimeDateBuffer buffer;
  return std::string(FormatTimeDateInto(hours, minutes, seconds, day, month, buffer));
}

std::string FormatTimeDate(const ArchiveRecord& record) {
  TimeDateBuffer buffer;
  return std::string(FormatTimeDate(record, buffer));
}

std::string_view FormatTimeDate(const ArchiveRecord& record, TimeDateBuffer& buffer) {
  return FormatTimeDateInto(record.Hours(), record.Minutes(), record.Seconds(), record.Day(),
                            record.Month(), buffer);
}

EventRow DecodeRecord(const ArchiveRecord& record) {
  if (record.IsDamaged()) return {std::string(kDamagedRecordText), "", "", ""};
  if (record.IsEmpty()) return {};

  EventRow row;
  const std::uint8_t code = record.Code();
  row[0] = EventTextTable(code);

  const int number = record.Number() + 1;
  if (IsInputEvent(code)) {
    row[1] = std::to_string(number) + std::string(kNoNumberText);
  } else if (IsRelayEvent(code)) {
    row[1] = std::string(kRelayPrefix) + std::to_string(number);
  } else {
    row[1] = kNoNumberText;
  }

  // Each field is blanked only when all of its bytes are unset.
  if (record.Hours() == kUnsetByte && record.Minutes() == kUnsetByte &&
      record.Seconds() == kUnsetByte) {
    row[2] = kUnsetTimeText;
  } else {
    char time[11];
    char* end = WriteTime(time, record.Hours(), record.Minutes(), record.Seconds());
    row[2].assign(time, static_cast<std::size_t>(end - time));
  }
  if (!(record.Day() == kUnsetByte && record.Month() == kUnsetByte)) {
    char date[7];
    char* end = WriteDate(date, record.Day(), record.Month());
    row[3].assign(date, static_cast<std::size_t>(end - date));
  }
  return row;
}

}  // namespace torv
