#include "ui/date_search_key.h"

#include "archive/event_table.h"

namespace torv {

std::string SearchDateKeyFor(int day, int month) {
  return FormatTwoDigits(day) + "." + FormatTwoDigits(month);
}

}  // namespace torv
