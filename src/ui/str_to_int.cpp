#include "ui/str_to_int.h"

#include <limits>

namespace torv {

InvalidIntegerError::InvalidIntegerError(std::string_view text)
    : std::runtime_error("'" + std::string(text) + "' is not a valid integer value") {}

std::int32_t StrToInt(std::string_view text) {
  std::size_t at = 0;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
    negative = text[at] == '-';
    ++at;
  }
  if (at == text.size()) throw InvalidIntegerError(text);

  // Accumulated as a negative number so that the range's lowest value fits.
  std::int64_t value = 0;
  for (; at < text.size(); ++at) {
    const char c = text[at];
    if (c < '0' || c > '9') throw InvalidIntegerError(text);
    value = value * 10 - (c - '0');
    if (value < std::numeric_limits<std::int32_t>::min()) throw InvalidIntegerError(text);
  }
  if (!negative) {
    value = -value;
    if (value > std::numeric_limits<std::int32_t>::max()) throw InvalidIntegerError(text);
  }
  return static_cast<std::int32_t>(value);
}

}  // namespace torv
