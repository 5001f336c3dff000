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
// One character read from the start of a UTF-8 text: its code point and
// its length in bytes. A length of 0 means the text is empty or starts with
// a sequence that is not well-formed UTF-8 (an overlong form, a surrogate,
// anything above U+10FFFF, a stray or missing continuation byte).
struct Utf8Character {
  char32_t codePoint = 0;
  std::size_t length = 0;
};
Utf8Character DecodeUtf8Character(std::string_view text);
// True when the bytes are well-formed UTF-8, character after character.
bool IsValidUtf8(std::string_view text);
// `text` without its leading and trailing spaces (" " only).
std::string TrimSpaces(std::string_view text);
// Equality that ignores the case of the Latin letters A-Z.
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

}  // namespace torv
