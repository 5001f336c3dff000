// Text-to-number conversion of the input-number fields. A text that is not a
// whole number is a failure that leaves the handler and reaches the operator
// as a box of its own, so it is an exception here.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace torv {

class InvalidIntegerError : public std::runtime_error {
 public:
  // The message is "'<text>' is not a valid integer value".
  explicit InvalidIntegerError(std::string_view text);
};

// A whole number: decimal digits only, leading zeros allowed, up to the
// largest signed 32-bit value. Throws InvalidIntegerError for anything else,
// a leading "+" or "-" included.
std::int32_t StrToInt(std::string_view text);

}  // namespace torv
