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
  if (hours == kUnsetByte && minutes == kUnsetByte && seconds == kUnsetByte && day == kUnsetByte &&
      month == kUnsetByte) {
    return {};
  }
  return FormatTwoDigits(hours) + ":" + FormatTwoDigits(minutes) + ":" + FormatTwoDigits(seconds) +
         " " + FormatTwoDigits(day) + "." + FormatTwoDigits(month);
}

std::string FormatTimeDate(const ArchiveRecord& record) {
  return FormatTimeDate(record.Hours(), record.Minutes(), record.Seconds(), record.Day(),
                        record.Month());
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
    row[2] = FormatTwoDigits(record.Hours()) + ":" + FormatTwoDigits(record.Minutes()) + ":" +
             FormatTwoDigits(record.Seconds());
  }
  if (!(record.Day() == kUnsetByte && record.Month() == kUnsetByte)) {
    row[3] = FormatTwoDigits(record.Day()) + "." + FormatTwoDigits(record.Month());
  }
  return row;
}

}  // namespace torv
