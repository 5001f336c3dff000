// Writes any byte string as report text into an RTF document and reads the
// document back.
//
// Checks, besides the sanitizers: the document is 7-bit text in the fixed
// frame; reading its paragraphs back gives exactly the pane's lines in
// Windows-1251; and that conversion agrees with an independent one, in which
// a character that Windows-1251 lacks, and every byte that is not part of a
// well-formed UTF-8 character, becomes one "?".
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include <iconv.h>

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

// Which Windows-1251 byte stands for a code point, learnt once by converting
// each byte from 0x80 on the other way.
class Cp1251Table {
 public:
  Cp1251Table() {
    iconv_t toUtf8 = ::iconv_open("UTF-8", "CP1251");
    Check(toUtf8 != reinterpret_cast<iconv_t>(-1), "no CP1251 converter");
    for (int byte = 0x80; byte <= 0xFF; ++byte) {
      char in = static_cast<char>(byte);
      char out[8] = {};
      char* inPtr = &in;
      char* outPtr = out;
      std::size_t inLeft = 1;
      std::size_t outLeft = sizeof out;
      if (::iconv(toUtf8, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) {
        ::iconv(toUtf8, nullptr, nullptr, nullptr, nullptr);
        continue;
      }
      const char32_t codePoint = DecodeUtf8(std::string_view(out, outPtr - out), 0)->codePoint;
      Check(codePoint < bytes_.size(), "CP1251 maps beyond the table");
      bytes_[codePoint] = static_cast<std::uint8_t>(byte);
    }
    ::iconv_close(toUtf8);
  }

  std::optional<char> ByteOf(char32_t codePoint) const {
    if (codePoint < 0x80) return static_cast<char>(codePoint);
    if (codePoint >= bytes_.size() || bytes_[codePoint] == 0) return std::nullopt;
    return static_cast<char>(bytes_[codePoint]);
  }

  struct Character {
    char32_t codePoint;
    std::size_t length;
  };

  // The well-formed UTF-8 character at `at` (the Unicode standard's table of
  // well-formed byte sequences), or nothing.
  static std::optional<Character> DecodeUtf8(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
    const std::size_t left = text.size() - at;
    const unsigned char lead = byte(0);
    if (lead < 0x80) return Character{lead, 1};
    std::size_t length = 0;
    unsigned char low = 0x80;
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
      return std::nullopt;
    }
    if (left < length) return std::nullopt;
    if (byte(1) < low || byte(1) > high) return std::nullopt;
    for (std::size_t i = 2; i < length; ++i) {
      if (byte(i) < 0x80 || byte(i) > 0xBF) return std::nullopt;
    }
    char32_t codePoint = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) codePoint = (codePoint << 6) | (byte(i) & 0x3F);
    return Character{codePoint, length};
  }

 private:
  // Windows-1251 byte of each code point up to U+21FF (the highest is
  // U+2122), 0 for none.
  std::array<std::uint8_t, 0x2200> bytes_{};
};

std::string ModelCp1251(std::string_view utf8) {
  static const Cp1251Table table;
  std::string out;
  std::size_t at = 0;
  while (at < utf8.size()) {
    const std::optional<Cp1251Table::Character> character = Cp1251Table::DecodeUtf8(utf8, at);
    if (!character) {
      out += '?';
      ++at;
      continue;
    }
    out += table.ByteOf(character->codePoint).value_or('?');
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
