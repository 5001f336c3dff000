// Decoding archive records into the four cell texts of the event table.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "archive/archive_format.h"

namespace torv {

inline constexpr int kEventColumnCount = 4;
using EventRow = std::array<std::string, kEventColumnCount>;

// Row 0 of the table after every fill.
const EventRow& EventTableHeader();

// Text of an event code, spaces included; empty for a code without text.
std::string_view EventTextTable(std::uint8_t code);

inline constexpr std::string_view kDamagedRecordText = "**НЕКОРР ЗАП.**";
inline constexpr std::string_view kNoNumberText = "           ";  // eleven spaces
inline constexpr std::string_view kRelayPrefix = "реле ";
inline constexpr std::string_view kUnsetTimeText = " ";

// Decimal with at least two digits: 7 -> "07", 123 -> "123".
std::string FormatTwoDigits(int value);

// hours ":" minutes ":" seconds " " day "." month; empty when all five are 255.
std::string FormatTimeDate(std::uint8_t hours, std::uint8_t minutes, std::uint8_t seconds,
                           std::uint8_t day, std::uint8_t month);
std::string FormatTimeDate(const ArchiveRecord& record);

// The same text written into `buffer`, for the date search, which formats
// every record of the ring: no allocation. The view points into `buffer`.
using TimeDateBuffer = std::array<char, 19>;  // every field with three digits
std::string_view FormatTimeDate(const ArchiveRecord& record, TimeDateBuffer& buffer);

// The four cell texts of one record: event, input or relay number, time, date.
EventRow DecodeRecord(const ArchiveRecord& record);

// The record's time and date as its time and date cells show them, joined by
// a space: a cell the table leaves blank is left out ("14:39:40" for a day
// and month both 255), and a damaged or empty record has neither. Unlike
// FormatTimeDate, which the window's own texts use, this is how every export
// and summary names a record's moment.
std::string ShownTimeDate(const ArchiveRecord& record);

}  // namespace torv
