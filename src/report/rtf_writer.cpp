#include "report/rtf_writer.h"

#include "report/atomic_write.h"
#include "report/text_encoding.h"

namespace torv {
namespace {

constexpr std::string_view kProlog =
    "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\fnil\\fcharset204 Courier New;}}\n"
    "\\pard\\f0\\fs20\n";
constexpr std::string_view kEpilog = "}";
// The line feed after \par only ends the control word; readers ignore it, so
// a line's leading spaces stay text.
constexpr std::string_view kLineEnd = "\\par\n";

void AppendEscapedLine(std::string_view cp1251Line, std::string& rtf) {
  static constexpr char kHexDigits[] = "0123456789abcdef";
  for (const char c : cp1251Line) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\t') {
      rtf += "\\tab ";
    } else if (c == '\\' || c == '{' || c == '}') {
      rtf += '\\';
      rtf += c;
    } else if (byte < 0x20 || byte >= 0x7F) {
      rtf += "\\'";
      rtf += kHexDigits[byte >> 4];
      rtf += kHexDigits[byte & 0x0F];
    } else {
      rtf += c;
    }
  }
}

}  // namespace

Result<std::string> RtfDocument(std::string_view paneText) {
  const Result<std::string> converted = Utf8ToCp1251(paneText);
  if (!converted) return converted.failure();
  const std::string& text = *converted;
  std::string rtf(kProlog);
  rtf.reserve(kProlog.size() + text.size() * 2 + kEpilog.size());
  if (!text.empty()) {
    std::string_view rest(text);
    while (true) {
      const std::size_t end = rest.find('\n');
      AppendEscapedLine(rest.substr(0, end), rtf);
      rtf += kLineEnd;
      if (end == std::string_view::npos) break;
      rest.remove_prefix(end + 1);
    }
  }
  rtf += kEpilog;
  return rtf;
}

Status SaveRtfFile(const std::string& path, std::string_view paneText) {
  const Result<std::string> document = RtfDocument(paneText);
  if (!document) return document.failure();
  return WriteFileAtomically(path, *document);
}

}  // namespace torv
