// Small UTF-8 text helpers: texts are UTF-8 inside the program, and lengths
// that the operator sees are counted in characters, not bytes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace torv {

// Number of characters (code points) in a UTF-8 text.
std::size_t Utf8Length(std::string_view text);
// The first `count` characters of a UTF-8 text (all of it when shorter).
std::string Utf8Prefix(std::string_view text, std::size_t count);
// True when the bytes are well-formed UTF-8 (no overlong forms, no
// surrogates, nothing above U+10FFFF).
bool IsValidUtf8(std::string_view text);
// `text` without its leading and trailing spaces (" " only).
std::string TrimSpaces(std::string_view text);
// Equality that ignores the case of the Latin letters A-Z.
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

}  // namespace torv
