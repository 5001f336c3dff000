// Writes any byte string as report text into an RTF document and reads the
// document back.
//
// Checks, besides the sanitizers: the document is 7-bit text in the fixed
// frame; reading its paragraphs back gives exactly the pane's lines in
// Windows-1251; and that conversion agrees with one written here from the
// UTF-8 and Windows-1251 definitions (neither the program's decoder nor
// iconv), in which a character that Windows-1251 lacks, and every byte
// that is not part of a well-formed UTF-8 character, becomes one "?".
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "report/rtf_writer.h"

namespace torv::fuzz {
namespace {

constexpr std::string_view kProlog =
    "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\fmodern\\fprq1\\fcharset204 Courier "
    "New;}}\n"
    "\\paperw11906\\paperh16838\\margl1134\\margr1134\\margt1134\\margb1134\n"
    "\\pard\\tx2041\\tx2281\\tx4081\\tx4321\\tx5761\\tx6001\\f0\\fs20\n";
constexpr std::string_view kParagraphEnd = "\\par\n";

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "rtf_fuzzer: invariant broken: %s\n", what);
  std::abort();
}

void Check(bool holds, const char* what) {
  if (!holds) Fail(what);
}

// Code points of the Windows-1251 bytes 0x80 to 0xFF, as the code page's
// definition lists them; 0 for 0x98, which stands for no character. The
// bytes below 0x80 are ASCII.
constexpr std::array<char16_t, 128> kCp1251High = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 0x88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x0000, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 0x98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // 0xA0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // 0xA8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // 0xB0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // 0xB8
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,  // 0xC0: А to Я
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,  //
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,  //
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,  //
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,  // 0xE0: а to я
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,  //
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,  //
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,  //
};

std::optional<char> Cp1251ByteOf(char32_t codePoint) {
  if (codePoint < 0x80) return static_cast<char>(codePoint);
  for (std::size_t i = 0; i < kCp1251High.size(); ++i) {
    if (kCp1251High[i] != 0 && kCp1251High[i] == codePoint) return static_cast<char>(0x80 + i);
  }
  return std::nullopt;
}

struct Character {
  char32_t codePoint;
  std::size_t length;
};

// The UTF-8 character at `at` as the encoding's definition reads it: the
// lead byte's high bits give the length (0xxxxxxx, 110xxxxx, 1110xxxx,
// 11110xxx), each byte after it is 10xxxxxx, and the x bits give the code
// point. It is well-formed when the code point needs that many bytes, is
// no surrogate and is at most U+10FFFF; otherwise nothing.
std::optional<Character> Utf8At(std::string_view text, std::size_t at) {
  struct Form {
    unsigned char mask;     // the lead byte's pattern bits
    unsigned char pattern;  // and their values
    char32_t smallest;      // the least code point written in this length
  };
  constexpr Form kForms[] = {
      {0x80, 0x00, 0x0}, {0xE0, 0xC0, 0x80}, {0xF0, 0xE0, 0x800}, {0xF8, 0xF0, 0x10000}};
  const auto lead = static_cast<unsigned char>(text[at]);
  for (std::size_t length = 1; length <= 4; ++length) {
    const Form& form = kForms[length - 1];
    if ((lead & form.mask) != form.pattern) continue;
    if (text.size() - at < length) return std::nullopt;
    char32_t codePoint = lead & static_cast<unsigned char>(~form.mask);
    for (std::size_t i = 1; i < length; ++i) {
      const auto next = static_cast<unsigned char>(text[at + i]);
      if ((next & 0xC0) != 0x80) return std::nullopt;
      codePoint = codePoint * 64 + (next & 0x3F);
    }
    if (codePoint < form.smallest || codePoint > 0x10FFFF) return std::nullopt;
    if (codePoint >= 0xD800 && codePoint <= 0xDFFF) return std::nullopt;
    return Character{codePoint, length};
  }
  return std::nullopt;  // a continuation byte, or 11111xxx
}

std::string ModelCp1251(std::string_view utf8) {
  std::string out;
  std::size_t at = 0;
  while (at < utf8.size()) {
    const std::optional<Character> character = Utf8At(utf8, at);
    if (!character) {
      out += '?';
      ++at;
      continue;
    }
    out += Cp1251ByteOf(character->codePoint).value_or('?');
    at += character->length;
  }
  return out;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  Fail("\\' not followed by two lower-case hex digits");
}

// Reads the paragraphs of the document body back into lines joined by "\n".
std::string ReadBack(std::string_view body) {
  std::string text;
  bool firstParagraph = true;
  while (!body.empty()) {
    if (!firstParagraph) text += '\n';
    firstParagraph = false;
    while (true) {
      Check(!body.empty(), "paragraph without \\par");
      if (body.starts_with(kParagraphEnd)) {
        body.remove_prefix(kParagraphEnd.size());
        break;
      }
      const char c = body.front();
      if (c == '\\') {
        Check(body.size() >= 2, "document ends in a backslash");
        const char next = body[1];
        if (body.starts_with("\\tab ")) {
          text += '\t';
          body.remove_prefix(5);
        } else if (next == '\\' || next == '{' || next == '}') {
          text += next;
          body.remove_prefix(2);
        } else if (next == '\'') {
          Check(body.size() >= 4, "cut \\' escape");
          text += static_cast<char>(HexValue(body[2]) * 16 + HexValue(body[3]));
          body.remove_prefix(4);
        } else {
          Fail("unknown control word in the text");
        }
      } else {
        Check(c != '{' && c != '}', "unescaped brace in the text");
        Check(c != '\n', "line feed inside a paragraph");
        text += c;
        body.remove_prefix(1);
      }
    }
  }
  return text;
}

}  // namespace
}  // namespace torv::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace torv::fuzz;
  const std::string_view paneText(reinterpret_cast<const char*>(data), size);
  const torv::Result<std::string> document = torv::RtfDocument(paneText);
  Check(document.ok(), "no converter to Windows-1251");
  const std::string& rtf = *document;

  for (const char c : rtf) {
    const auto byte = static_cast<unsigned char>(c);
    Check(c == '\n' || (byte >= 0x20 && byte < 0x7F), "document is not 7-bit text");
  }
  Check(rtf.starts_with(kProlog) && rtf.ends_with("}"), "document frame");
  const std::string_view body =
      std::string_view(rtf).substr(kProlog.size(), rtf.size() - kProlog.size() - 1);
  Check(paneText.empty() == body.empty(), "an empty pane must give no paragraph");
  Check(ReadBack(body) == ModelCp1251(paneText), "the document does not read back as the pane");
  return 0;
}
