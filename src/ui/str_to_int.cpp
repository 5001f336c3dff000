#include "ui/str_to_int.h"

#include <limits>

namespace torv {

InvalidIntegerError::InvalidIntegerError(std::string_view text)
    : std::runtime_error("'" + std::string(text) + "' is not a valid integer value") {}

std::int32_t StrToInt(std::string_view text) {
  if (text.empty()) throw InvalidIntegerError(text);
  std::int64_t value = 0;
  for (const char c : text) {
    // Digits only: a sign is a character like any other that is no digit.
    if (c < '0' || c > '9') throw InvalidIntegerError(text);
    value = value * 10 + (c - '0');
    if (value > std::numeric_limits<std::int32_t>::max()) throw InvalidIntegerError(text);
  }
  return static_cast<std::int32_t>(value);
}

}  // namespace torv
