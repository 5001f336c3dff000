#include "archive/date_key.h"

#include "archive/event_table.h"
#include "archive/text_utf8.h"

namespace torv {

std::string SearchDateKeyFor(int day, int month) {
  return FormatTwoDigits(day) + "." + FormatTwoDigits(month);
}

bool IsWholeDateKey(std::string_view key) {
  return Utf8Length(key) >= kDateKeyLength;
}

std::string ComparedDateKey(std::string_view key) {
  return Utf8Prefix(key, kDateKeyLength);
}

}  // namespace torv
