#include "report/text_encoding.h"

#include <array>
#include <cstdint>

namespace torv {
namespace {

// The code point of each Windows-1251 byte from 0x80 on; 0x98 has none.
// Converted by table rather than through iconv, whose CP1251 converter drops
// some characters (the Unicode tag characters) without a trace instead of
// letting the caller stand "?" in for them.
constexpr std::array<char16_t, 128> kHighHalf = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 0x88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x0000, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 0x98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // 0xA0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // 0xA8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // 0xB0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // 0xB8
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,  // 0xC0: А to я
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423,
    0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, 0x0438, 0x0439, 0x043A, 0x043B,
    0x043C, 0x043D, 0x043E, 0x043F, 0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};
constexpr char kReplacement = '?';

char Cp1251Byte(char32_t codePoint) {
  if (codePoint < 0x80) return static_cast<char>(codePoint);
  if (codePoint >= 0x0410 && codePoint <= 0x044F) {
    return static_cast<char>(0xC0 + (codePoint - 0x0410));
  }
  for (std::size_t i = 0; i < 0x40; ++i) {
    if (kHighHalf[i] == codePoint) return static_cast<char>(0x80 + i);
  }
  return kReplacement;
}

// The well-formed UTF-8 character at the start of `text` and its length in
// bytes; length 0 when the bytes there are not one (bad lead or continuation
// byte, overlong form, surrogate, beyond U+10FFFF, cut short).
struct Character {
  char32_t codePoint = 0;
  std::size_t length = 0;
};

Character DecodeCharacter(std::string_view text) {
  const auto byte = [text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80) return {lead, 1};
  std::size_t length = 0;
  unsigned char low = 0x80;  // range of the second byte
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return {};
  }
  if (text.size() < length || byte(1) < low || byte(1) > high) return {};
  char32_t codePoint = lead & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i) {
    if (byte(i) < 0x80 || byte(i) > 0xBF) return {};
    codePoint = (codePoint << 6) | (byte(i) & 0x3F);
  }
  return {codePoint, length};
}

}  // namespace

std::string Utf8ToCp1251(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  while (!utf8.empty()) {
    const Character character = DecodeCharacter(utf8);
    if (character.length == 0) {
      // Only this byte is lost: the text after a broken sequence stays.
      out += kReplacement;
      utf8.remove_prefix(1);
    } else {
      out += Cp1251Byte(character.codePoint);
      utf8.remove_prefix(character.length);
    }
  }
  return out;
}

}  // namespace torv
